<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Message</name>
    <message>
        <source>Unexpected error</source>
        <translation>Непредвиденная ошибка</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Не удалось создать файл %1. Проверьте, что папка существует и в неё можно записывать.</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Не удалось открыть файл %1. Проверьте, что файл есть и его можно читать.</translation>
    </message>
    <message>
        <source>Cannot read file %1</source>
        <translation>Не удалось прочитать файл %1.</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Не удалось записать файл %1. Проверьте, есть ли место на диске.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>«%1» — это не число.</translation>
    </message>
    <message>
        <source>Floating point overflow</source>
        <translation>Число слишком велико для расчёта.</translation>
    </message>
    <message>
        <source>Floating point division by zero</source>
        <translation>Ошибка расчёта: деление на ноль.</translation>
    </message>
    <message>
        <source>Invalid floating point operation</source>
        <translation>Ошибка расчёта: недопустимая операция с числами.</translation>
    </message>
    <message>
        <source>File %1 is too large: %2 holds at most %3 bytes</source>
        <translation>Файл %1 слишком велик: %2 бывает не больше %3 байт. Это не файл программы.</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>это папка, а не файл</translation>
    </message>
    <message>
        <source>it is a pipe, not a file</source>
        <translation>это канал, а не файл</translation>
    </message>
    <message>
        <source>it is a device, not a file</source>
        <translation>это устройство, а не файл</translation>
    </message>
    <message>
        <source>it is a socket, not a file</source>
        <translation>это сокет, а не файл</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>Cannot open file %1: %2</source>
        <translation>Не удалось открыть %1: %2.</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Не удалось записать %1: %2. Выберите другое имя файла.</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Нет доступа к файлу. Проверьте права на файл и папку.</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск переполнен. Освободите место и повторите.</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>Ошибка ввода-вывода (код %1).</translation>
    </message>
    <message>
        <source>kelly weight</source>
        <translation>«Вес квадрата»</translation>
    </message>
    <message>
        <source>travelling block weight</source>
        <translation>«Вес талевого блока»</translation>
    </message>
    <message>
        <source>drilling line weight</source>
        <translation>«Вес каната»</translation>
    </message>
    <message>
        <source>hook weight</source>
        <translation>«Вес крюка»</translation>
    </message>
    <message>
        <source>swivel weight</source>
        <translation>«Вес вертлюга»</translation>
    </message>
    <message>
        <source>drilling hose weight</source>
        <translation>«Вес бурового рукава»</translation>
    </message>
    <message>
        <source>specific gravity of the mud</source>
        <translation>«Удельный вес раствора»</translation>
    </message>
    <message>
        <source>specific gravity of the metal</source>
        <translation>«Удельный вес металла»</translation>
    </message>
    <message>
        <source>weight of one metre of section %1</source>
        <translation>«Вес 1 метра» в строке %1</translation>
    </message>
    <message>
        <source>length of section %1</source>
        <translation>«L инструмента» в строке %1</translation>
    </message>
    <message>
        <source>Floating point overflow</source>
        <comment>an input too large; %1 names it</comment>
        <translation>Значение в поле %1 слишком велико для расчёта. Введите меньшее значение.</translation>
    </message>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>Неверная дата.</translation>
    </message>
    <message>
        <source>Invalid argument to time encode</source>
        <translation>Неверное время.</translation>
    </message>
    <message>
        <source>Value must be between %1 and %2</source>
        <translation>Значение должно быть от %1 до %2.</translation>
    </message>
    <message>
        <source>Format string too long</source>
        <translation>Слишком длинный формат числа.</translation>
    </message>
    <message>
        <source>Range check error</source>
        <translation>Значение вне допустимых пределов.</translation>
    </message>
    <message>
        <source>Metafile is not valid</source>
        <translation>Страница отчёта повреждена и не может быть показана.</translation>
    </message>
    <message>
        <source>VpPrinter not ready</source>
        <translation>Отчёт ещё формируется. Дождитесь окончания и повторите.</translation>
    </message>
    <message>
        <source>File %1 is not a valid report file</source>
        <translation>Файл %1 не является сохранённым отчётом или повреждён.</translation>
    </message>
    <message>
        <source>Page store is not valid</source>
        <translation>Страницы отчёта повреждены.</translation>
    </message>
    <message>
        <source>Page store is full</source>
        <translation>Отчёт слишком велик: в нём больше страниц, чем можно сохранить.</translation>
    </message>
    <message>
        <source>Illegal call to NewPage</source>
        <translation>Внутренняя ошибка отчёта: новая страница до начала отчёта.</translation>
    </message>
    <message>
        <source>a report file</source>
        <translation>файл отчёта</translation>
    </message>
    <message>
        <source>Stream seek error</source>
        <translation>Ошибка чтения страниц отчёта.</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Недопустимое значение свойства.</translation>
    </message>
    <message>
        <source>Page is too large: %1 x %2 mm, at most %3 mm a side</source>
        <translation>Страница слишком велика: %1 × %2 мм, а допускается не более %3 мм по стороне.</translation>
    </message>
    <message>
        <source>Text export (ASCII) filter</source>
        <translation>Экспорт в текстовый файл</translation>
    </message>
    <message>
        <source>Text file</source>
        <translation>Текстовый файл</translation>
    </message>
    <message>
        <source>Abstract non-working export filter</source>
        <translation>Неработающий фильтр экспорта</translation>
    </message>
    <message>
        <source>Abstract filter</source>
        <translation>Фильтр экспорта</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>Принтер по умолчанию не выбран. Выберите принтер в настройке принтера.</translation>
    </message>
    <message>
        <source>Printer index out of range</source>
        <translation>Такого принтера нет в списке.</translation>
    </message>
    <message>
        <source>Printing in progress</source>
        <translation>Идёт печать. Дождитесь её окончания.</translation>
    </message>
    <message>
        <source>Printer is not currently printing</source>
        <translation>Принтер сейчас не печатает.</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>Выбранный принтер недоступен. Выберите другой принтер.</translation>
    </message>
    <message>
        <source>The print spooler&apos;s library (%1) is not installed</source>
        <translation>Не установлена библиотека системы печати (%1). Установите её, чтобы печатать.</translation>
    </message>
    <message>
        <source>The print job could not be sent to %1: %2</source>
        <translation>Не удалось отправить задание на принтер %1: %2.</translation>
    </message>
    <message>
        <source>The print job could not be sent to %1</source>
        <translation>Не удалось отправить задание на принтер %1. Проверьте, что принтер включён и подключён.</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Не удалось сохранить настройки в %1. Проверьте права на файл.</translation>
    </message>
    <message>
        <source>The report has no page to save</source>
        <translation>В отчёте нет ни одной страницы: сохранять нечего.</translation>
    </message>
    <message>
        <source>A report loaded from a file can be saved as a report file or as PDF, not exported</source>
        <translation>Отчёт, открытый из файла, можно сохранить только как файл отчёта или PDF; выгрузить его в текст нельзя.</translation>
    </message>
    <message>
        <source>it does not exist</source>
        <translation>такого файла нет</translation>
    </message>
    <message>
        <source>access denied</source>
        <translation>нет прав доступа</translation>
    </message>
    <message>
        <source>the file system is read-only</source>
        <translation>файловая система доступна только для чтения</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>диск заполнен</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>такой папки нет</translation>
    </message>
    <message>
        <source>a part of its path is a file, not a folder</source>
        <translation>часть пути — файл, а не папка</translation>
    </message>
    <message>
        <source>its links lead round in a loop</source>
        <translation>ссылки образуют замкнутый круг</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>слишком длинное имя</translation>
    </message>
    <message>
        <source>the device reported a read or write error</source>
        <translation>устройство сообщило об ошибке чтения или записи</translation>
    </message>
    <message>
        <source>Cannot write file %1: %2</source>
        <translation>Не удалось записать файл %1: %2.</translation>
    </message>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>Не удалось записать файл настроек %1: %2.</translation>
    </message>
    <message>
        <source>it is a megabyte or larger, more than a profile ever holds</source>
        <translation>он занимает мегабайт или больше — настоящий файл настроек столько не весит</translation>
    </message>
    <message>
        <source>Cannot read profile %1: %2. The program starts with its defaults and leaves the file as it is</source>
        <translation>Не удалось прочитать файл настроек %1: %2. Программа запускается с исходными значениями и не трогает этот файл</translation>
    </message>
    <message>
        <source>finish this action</source>
        <translation>завершить это действие</translation>
    </message>
    <message>
        <source>Not enough memory to %1</source>
        <translation>Недостаточно памяти, чтобы %1</translation>
    </message>
    <message>
        <source>Floating point division by zero: enter the %1</source>
        <comment>metal gravity 0</comment>
        <translation>Удельный вес металла равен нулю: расчёт невозможен. Введите удельный вес металла труб.</translation>
    </message>
    <message>
        <source>Invalid floating point operation: enter the %1</source>
        <comment>metal gravity 0</comment>
        <translation>Удельный вес металла равен нулю: расчёт невозможен. Введите удельный вес металла труб.</translation>
    </message>
    <message>
        <source>read page %1 of the report</source>
        <translation>прочитать страницу %1 отчёта</translation>
    </message>
    <message>
        <source>read page %1 of %2</source>
        <translation>прочитать страницу %1 файла %2</translation>
    </message>
    <message>
        <source>open the report file %1</source>
        <translation>открыть файл отчёта %1</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Диск</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Папка</translation>
    </message>
</context>
<context>
    <name>QDialogButtonBox</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>dw::TPrinter</name>
    <message>
        <source>Print to file</source>
        <translation>Печать в файл</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Файлы PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>dw::TVpPrinterSetupDialog</name>
    <message>
        <source>%1 × %2 mm</source>
        <translation>%1 × %2 мм</translation>
    </message>
    <message>
        <source>the printer&apos;s own paper</source>
        <translation>бумага, заданная в принтере</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>Настройка печати</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Книжная</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Альбомная</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Все</translation>
    </message>
    <message>
        <source>From</source>
        <translation>С</translation>
    </message>
    <message>
        <source>to</source>
        <translation>по</translation>
    </message>
    <message>
        <source>Print to a PDF file:</source>
        <translation>Печать в файл PDF:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>Printer:</source>
        <translation>Принтер:</translation>
    </message>
    <message>
        <source>Paper:</source>
        <translation>Бумага:</translation>
    </message>
    <message>
        <source>Orientation:</source>
        <translation>Ориентация:</translation>
    </message>
    <message>
        <source>Copies:</source>
        <translation>Копий:</translation>
    </message>
    <message>
        <source>Pages:</source>
        <translation>Страницы:</translation>
    </message>
    <message>
        <source>The report&apos;s page (%1 × %2 mm) is larger than this paper. What lies within the paper prints at full size; a page that reaches beyond it is scaled down to fit, never cut.</source>
        <translation>Страница отчёта (%1 × %2 мм) больше этой бумаги. То, что помещается на бумагу, печатается в натуральную величину; страница, выходящая за её края, уменьшается целиком и не обрезается.</translation>
    </message>
    <message>
        <source>Print to a PDF file</source>
        <translation>Печать в файл PDF</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>Файл PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>dw::TVpProgressForm</name>
    <message>
        <source>Printing progress</source>
        <translation>Ход печати</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>%1%  Completed</source>
        <translation>Выполнено %1%</translation>
    </message>
</context>
<context>
    <name>dw::TVpStandardPreview</name>
    <message>
        <source>Zoom to fit</source>
        <translation>Страница целиком</translation>
    </message>
    <message>
        <source>Zoom to 100%</source>
        <translation>Масштаб 100%</translation>
    </message>
    <message>
        <source>Zoom to page width</source>
        <translation>По ширине страницы</translation>
    </message>
    <message>
        <source>First Page</source>
        <translation>Первая страница</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Предыдущая страница</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Следующая страница</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Последняя страница</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>Настройка принтера</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Закрыть</translation>
    </message>
    <message>
        <source>Working...</source>
        <translation>Подготовка...</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Файл %1 уже есть.
Заменить его?</translation>
    </message>
    <message>
        <source>%1 × %2 mm</source>
        <translation>%1 × %2 мм</translation>
    </message>
    <message>
        <source>the printer&apos;s paper</source>
        <translation>бумага принтера</translation>
    </message>
    <message>
        <source>Print (no printer is installed)</source>
        <translation>Печать (принтер не установлен)</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>landscape</source>
        <translation>альбомная</translation>
    </message>
    <message>
        <source>portrait</source>
        <translation>книжная</translation>
    </message>
    <message>
        <source>Print to the PDF file %1: %2</source>
        <translation>Печать в файл PDF %1: %2</translation>
    </message>
    <message>
        <source>Print to a PDF file (its name is asked): %1</source>
        <translation>Печать в файл PDF (имя будет запрошено): %1</translation>
    </message>
    <message>
        <source>1 copy</source>
        <translation>1 экземпляр</translation>
    </message>
    <message>
        <source>%1 copies</source>
        <translation>экземпляров: %1</translation>
    </message>
    <message>
        <source>Print on %1: %2, %3</source>
        <translation>Печать на %1: %2, %3</translation>
    </message>
    <message>
        <source>Vellumprint file</source>
        <translation>Сохранённый отчёт </translation>
    </message>
    <message>
        <source>PDF file</source>
        <translation>Файл PDF</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Все файлы</translation>
    </message>
    <message>
        <source>Cannot open file %1: %2</source>
        <translation>Не удалось открыть файл %1: %2.</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>это папка, а не файл</translation>
    </message>
    <message>
        <source>it does not exist</source>
        <translation>такого файла нет</translation>
    </message>
</context>
<context>
    <name>dw::TVpZoomBox</name>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Уменьшить (Ctrl+-)</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Zoom in percent: type one from %1 to %2 and press Enter</source>
        <translation>Масштаб в процентах: введите число от %1 до %2 и нажмите Enter</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Увеличить (Ctrl++)</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>The zoom must be a whole number from %1 to %2 per cent.</source>
        <translation>Масштаб должен быть целым числом от %1 до %2 процентов.</translation>
    </message>
</context>
</TS>
