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
        <source>%1: page %2: %3</source>
        <translation>%1: страница %2: %3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>a file and what is wrong with it</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>a profile</source>
        <translation>файл настроек</translation>
    </message>
    <message>
        <source>it would reach a megabyte, more than a profile may hold</source>
        <translation>он занял бы мегабайт или больше — столько файл настроек занимать не может</translation>
    </message>
    <message>
        <source>no folder for the profile is known</source>
        <translation>неизвестно, в какой папке хранить настройки</translation>
    </message>
    <message>
        <source>a section or key name is empty or holds a character a profile cannot keep</source>
        <translation>имя раздела или ключа пустое или содержит знак, который файл настроек хранить не может</translation>
    </message>
    <message>
        <source>Thousands go in groups of three digits</source>
        <translation>Разряды тысяч отделяются группами по три цифры</translation>
    </message>
    <message>
        <source>A space separates thousands only: after the first one to three digits of a number</source>
        <translation>Пробел отделяет только разряды тысяч: после первых одной–трёх цифр числа</translation>
    </message>
    <message>
        <source>Only digits, a minus sign, the decimal mark %1 and an exponent E can be typed here</source>
        <translation>Здесь можно вводить только цифры, знак минус, десятичный знак %1 и порядок E</translation>
    </message>
    <message>
        <source>The number has its decimal mark already</source>
        <translation>В числе уже есть десятичный знак</translation>
    </message>
    <message>
        <source>No more than %1 decimal places</source>
        <translation>Не больше %1 знаков после запятой</translation>
    </message>
    <message>
        <source>A minus sign stands only at the start of the number</source>
        <translation>Знак минус ставится только в начале числа</translation>
    </message>
    <message>
        <source>This field takes no negative numbers</source>
        <translation>Это поле не принимает отрицательных чисел</translation>
    </message>
    <message>
        <source>This key would not leave a number here</source>
        <translation>С этой клавишей здесь не получится числа</translation>
    </message>
    <message>
        <source>The pasted text %1 is not a number</source>
        <translation>Вставленный текст %1 — не число</translation>
    </message>
    <message>
        <source>The clipboard holds no number</source>
        <translation>В буфере обмена нет числа</translation>
    </message>
    <message>
        <source>The pasted text %1 is not in this field&apos;s unit, %2</source>
        <translation>Вставленный текст %1 не в единицах этого поля (%2)</translation>
    </message>
    <message>
        <source>The thousands in the pasted text %1 are not in groups of three</source>
        <translation>Во вставленном тексте %1 разряды тысяч не разбиты по три цифры</translation>
    </message>
    <message>
        <source>The pasted number does not fit with the text of the field around it</source>
        <translation>Вставленное число не складывается в число с текстом поля вокруг него</translation>
    </message>
    <message>
        <source>Thousands go in groups of three digits: %1</source>
        <translation>Разряды тысяч отделяются группами по три цифры: %1</translation>
    </message>
    <message>
        <source>it is read-only</source>
        <translation>файл доступен только для чтения</translation>
    </message>
    <message>
        <source>another program holds it locked</source>
        <translation>его заблокировала другая программа</translation>
    </message>
    <message>
        <source>it cannot be written; the disk may be full</source>
        <translation>его не удаётся записать; возможно, диск заполнен</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>его не удаётся открыть</translation>
    </message>
    <message>
        <source>Cannot use the journal %1: %2</source>
        <translation>Журнал %1 недоступен: %2</translation>
    </message>
    <message>
        <source>Cannot use the journal %1: its folder cannot be made: %2</source>
        <translation>Журнал %1 недоступен: не удалось создать его папку: %2</translation>
    </message>
    <message>
        <source>a newer version of the program wrote it</source>
        <translation>его записала более новая версия программы</translation>
    </message>
    <message>
        <source>The journal %1 is damaged and cannot be set aside: %2</source>
        <translation>Журнал %1 повреждён, и его не удалось отложить: %2</translation>
    </message>
    <message>
        <source>The journal %1 was damaged. It is kept unchanged as %2, and a new journal is started.</source>
        <translation>Журнал %1 был повреждён. Он сохранён без изменений под именем %2, начат новый журнал.</translation>
    </message>
    <message>
        <source>the new journal is damaged too</source>
        <translation>новый журнал тоже повреждён</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 fields where the journal has %2</source>
        <translation>полей %1, а в журнале их %2</translation>
    </message>
    <message>
        <source>not a date and time YYYY-MM-DDTHH:MM:SS</source>
        <translation>это не дата и время ГГГГ-ММ-ДДTЧЧ:ММ:СС</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>это не число</translation>
    </message>
    <message>
        <source>0 or 1</source>
        <translation>нужно 0 или 1</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>строка %1: %2</translation>
    </message>
    <message>
        <source>%1
%2</source>
        <comment>one line of a list after another</comment>
        <translation>%1
%2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>и ещё %1</translation>
    </message>
    <message>
        <source>%1 holds lines that are not journal records; nothing was imported.
%2</source>
        <translation>В файле %1 есть строки, которые не являются записями журнала; ничего не загружено.
%2</translation>
    </message>
    <message>
        <source>the file is not UTF-8 text</source>
        <translation>файл не в кодировке UTF-8</translation>
    </message>
    <message>
        <source>the header is not the journal&apos;s columns</source>
        <translation>заголовок не совпадает со столбцами журнала</translation>
    </message>
    <message>
        <source>a quote that is never closed</source>
        <translation>кавычка не закрыта</translation>
    </message>
    <message>
        <source>a journal file</source>
        <translation>файл журнала</translation>
    </message>
    <message>
        <source>too large for the calculation</source>
        <translation>слишком велико для расчёта</translation>
    </message>
    <message>
        <source>the note is not UTF-8 text</source>
        <translation>примечание не в кодировке UTF-8</translation>
    </message>
    <message>
        <source>a note holds at most %1 characters</source>
        <translation>примечание — не длиннее %1 знаков</translation>
    </message>
    <message>
        <source>The measurement was not kept in the journal; the calculation and the sheet are not affected, and this is said once while the program runs. %1</source>
        <translation>Измерение не записано в журнал; на расчёт и лист это не влияет, сообщение показывается один раз за работу программы. %1</translation>
    </message>
    <message>
        <source>ft</source>
        <translation>фт</translation>
    </message>
    <message>
        <source>in</source>
        <translation>дюйм</translation>
    </message>
    <message>
        <source>kg/m</source>
        <translation>кг/м</translation>
    </message>
    <message>
        <source>lb/ft</source>
        <translation>фн/фт</translation>
    </message>
    <message>
        <source>klb</source>
        <translation>кип</translation>
    </message>
    <message>
        <source>ppg</source>
        <translation>фн/гал</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an indicator reading: %2</source>
        <translation>«%1» — не показание индикатора: %2</translation>
    </message>
    <message>
        <source>m</source>
        <translation>м</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>мм</translation>
    </message>
    <message>
        <source>t</source>
        <translation>т</translation>
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
    <message>
        <source>g/cm3</source>
        <translation>г/см3</translation>
    </message>
    <message>
        <source>the record of %1 names a unit system this program does not know</source>
        <translation>запись от %1 указывает систему единиц, неизвестную программе</translation>
    </message>
    <message>
        <source>metric or oilfield</source>
        <translation>metric или oilfield</translation>
    </message>
    <message>
        <source>Stopped: the program is ending</source>
        <translation>Прервано: программа завершает работу</translation>
    </message>
    <message>
        <source>an indicator reading is from 0 to %1 %2</source>
        <translation>показание индикатора — от 0 до %1 %2</translation>
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
    <name>dw::TForm1</name>
    <message>
        <source>Fill in and show the report sheet (Ctrl+P)</source>
        <translation>Заполнить и показать лист отчёта (Ctrl+P)</translation>
    </message>
    <message>
        <source>Calculate the results (Enter or Space)</source>
        <translation>Рассчитать результаты (Enter или Пробел)</translation>
    </message>
    <message>
        <source>Date of the last calculation</source>
        <translation>Дата последнего расчёта</translation>
    </message>
    <message>
        <source>Section %1 length</source>
        <translation>Длина секции %1</translation>
    </message>
    <message>
        <source>Section %1 diameter</source>
        <translation>Диаметр секции %1</translation>
    </message>
    <message>
        <source>Section %1 weight of one metre</source>
        <translation>Вес 1 метра секции %1</translation>
    </message>
    <message>
        <source>Kelly weight</source>
        <translation>Вес квадрата</translation>
    </message>
    <message>
        <source>Travelling block weight</source>
        <translation>Вес талевого блока</translation>
    </message>
    <message>
        <source>Drilling line weight</source>
        <translation>Вес каната</translation>
    </message>
    <message>
        <source>Hook weight</source>
        <translation>Вес крюка</translation>
    </message>
    <message>
        <source>Swivel weight</source>
        <translation>Вес вертлюга</translation>
    </message>
    <message>
        <source>Drilling hose weight</source>
        <translation>Вес бурового рукава</translation>
    </message>
    <message>
        <source>Mud specific gravity</source>
        <translation>Удельный вес раствора</translation>
    </message>
    <message>
        <source>Pipe steel specific gravity</source>
        <translation>Удельный вес металла</translation>
    </message>
    <message>
        <source>Travelling system weight</source>
        <translation>Вес талевой системы</translation>
    </message>
    <message>
        <source>Net string weight</source>
        <translation>Вес бурового инструмента (чистый)</translation>
    </message>
    <message>
        <source>String weight in the mud</source>
        <translation>Вес бурового инструмента с учетом вытеснения</translation>
    </message>
    <message>
        <source>Hook load</source>
        <translation>Вес бурового инструмента с учетом талевой системы</translation>
    </message>
    <message>
        <source>Total string length</source>
        <translation>Длина инструмента</translation>
    </message>
    <message>
        <source>%1 is below zero</source>
        <translation>%1 меньше нуля</translation>
    </message>
    <message>
        <source>Section %1: a length but no weight of one metre</source>
        <translation>Секция %1: длина задана, а вес 1 метра нет</translation>
    </message>
    <message>
        <source>Section %1: a weight of one metre but no length</source>
        <translation>Секция %1: вес 1 метра задан, а длина нет</translation>
    </message>
    <message>
        <source>The mud specific gravity is not given (0)</source>
        <translation>Удельный вес раствора не задан (0)</translation>
    </message>
    <message>
        <source>The mud specific gravity is not below the steel&apos;s</source>
        <translation>Удельный вес раствора не меньше удельного веса металла</translation>
    </message>
    <message>
        <source>%1: the number does not fit the field</source>
        <translation>%1: число не помещается в поле</translation>
    </message>
    <message>
        <source>Check the inputs before printing:</source>
        <translation>Проверьте данные перед печатью:</translation>
    </message>
    <message>
        <source>Correct</source>
        <translation>Исправить</translation>
    </message>
    <message>
        <source>Results of the calculation.</source>
        <translation>Результаты расчёта.</translation>
    </message>
    <message>
        <source>Window size</source>
        <translation>Масштаб окна</translation>
    </message>
    <message>
        <source>Print as it is</source>
        <translation>Печатать</translation>
    </message>
    <message>
        <source>Journal of measurements...</source>
        <translation>Журнал измерений...</translation>
    </message>
    <message>
        <source>These results were calculated for other inputs: press %1</source>
        <translation>Эти результаты рассчитаны для других исходных данных: нажмите %1</translation>
    </message>
    <message>
        <source>Language and units…</source>
        <translation>Язык и единицы…</translation>
    </message>
    <message>
        <source>The numbers typed were converted to oilfield units, each rounded to its field&apos;s decimals. Press %1 to calculate the results from them.</source>
        <translation>Введённые числа переведены в нефтепромысловые единицы, каждое округлено до знаков своего поля. Нажмите %1, чтобы рассчитать по ним результаты.</translation>
    </message>
    <message>
        <source>The numbers typed were converted to metric units, each rounded to its field&apos;s decimals. Press %1 to calculate the results from them.</source>
        <translation>Введённые числа переведены в метрические единицы, каждое округлено до знаков своего поля. Нажмите %1, чтобы рассчитать по ним результаты.</translation>
    </message>
    <message>
        <source>Section %1: a length but no weight of one foot</source>
        <translation>Секция %1: длина задана, а вес 1 фута нет</translation>
    </message>
    <message>
        <source>Section %1: a weight of one foot but no length</source>
        <translation>Секция %1: вес 1 фута задан, а длина нет</translation>
    </message>
    <message>
        <source>The mud density is not given (0)</source>
        <translation>Плотность раствора не указана (0)</translation>
    </message>
    <message>
        <source>The mud density is not below the steel&apos;s</source>
        <translation>Плотность раствора не меньше плотности стали</translation>
    </message>
    <message>
        <source>Section %1 weight of one foot</source>
        <translation>Вес 1 фута секции %1</translation>
    </message>
    <message>
        <source>Pipe steel density</source>
        <translation>Плотность стали труб</translation>
    </message>
    <message>
        <source>The record of %1 was typed in oilfield units: the window shows it converted to metric units; press %2 for its results in them.</source>
        <translation>Запись от %1 введена в нефтепромысловых единицах: окно показывает её в метрических; нажмите %2, чтобы получить результаты в них.</translation>
    </message>
    <message>
        <source>The record of %1 was typed in metric units: the window shows it converted to oilfield units; press %2 for its results in them.</source>
        <translation>Запись от %1 введена в метрических единицах: окно показывает её в нефтепромысловых; нажмите %2, чтобы получить результаты в них.</translation>
    </message>
    <message>
        <source>Mud weight</source>
        <translation>Плотность раствора</translation>
    </message>
</context>
<context>
    <name>dw::TJournalModel</name>
    <message>
        <source>printed</source>
        <translation>напечатан</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Printed</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>oilfield</source>
        <translation>нефтепромысловые</translation>
    </message>
    <message>
        <source>metric</source>
        <translation>метрические</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Единицы</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Длина</translation>
    </message>
    <message>
        <source>Net string</source>
        <translation>Чистый вес</translation>
    </message>
    <message>
        <source>Buoyed string</source>
        <translation>Вес в растворе</translation>
    </message>
    <message>
        <source>Indicator</source>
        <translation>Индикатор</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Разница</translation>
    </message>
    <message>
        <source>Expected hook load</source>
        <translation>Расчётный вес на крюке</translation>
    </message>
</context>
<context>
    <name>dw::TJournalPlot</name>
    <message>
        <source>History plot</source>
        <translation>График истории</translation>
    </message>
    <message numerus="yes">
        <source>Expected hook load and indicator readings against the total length, %n record(s)</source>
        <translation>
            <numerusform>Расчётный вес на крюке и показания индикатора по длине инструмента, %n запись</numerusform>
            <numerusform>Расчётный вес на крюке и показания индикатора по длине инструмента, %n записи</numerusform>
            <numerusform>Расчётный вес на крюке и показания индикатора по длине инструмента, %n записей</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Expected hook load and indicator readings against the date, %n record(s)</source>
        <translation>
            <numerusform>Расчётный вес на крюке и показания индикатора по дате, %n запись</numerusform>
            <numerusform>Расчётный вес на крюке и показания индикатора по дате, %n записи</numerusform>
            <numerusform>Расчётный вес на крюке и показания индикатора по дате, %n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>No records</source>
        <translation>Нет записей</translation>
    </message>
    <message>
        <source>Expected hook load, %1</source>
        <translation>Расчётный вес на крюке, %1</translation>
    </message>
    <message>
        <source>Indicator reading, %1</source>
        <translation>Показание индикатора, %1</translation>
    </message>
    <message numerus="yes">
        <source>%n record(s) typed in oilfield units, converted</source>
        <translation>
            <numerusform>%n запись введена в нефтепромысловых единицах, пересчитана</numerusform>
            <numerusform>%n записи введены в нефтепромысловых единицах, пересчитаны</numerusform>
            <numerusform>%n записей введены в нефтепромысловых единицах, пересчитаны</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n record(s) typed in metric units, converted</source>
        <translation>
            <numerusform>%n запись введена в метрических единицах, пересчитана</numerusform>
            <numerusform>%n записи введены в метрических единицах, пересчитаны</numerusform>
            <numerusform>%n записей введены в метрических единицах, пересчитаны</numerusform>
        </translation>
    </message>
    <message>
        <source>Total length, %1</source>
        <translation>Длина инструмента, %1</translation>
    </message>
    <message>
        <source>%1 %2: length %3, hook load %4</source>
        <translation>%1 %2: длина %3, вес на крюке %4</translation>
    </message>
    <message>
        <source>indicator %1</source>
        <translation>индикатор %1</translation>
    </message>
</context>
<context>
    <name>dw::TJournalWindow</name>
    <message>
        <source>Journal of measurements</source>
        <translation>Журнал измерений</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Plot &amp;against:</source>
        <translation>&amp;Ось графика:</translation>
    </message>
    <message>
        <source>total length</source>
        <translation>длина инструмента</translation>
    </message>
    <message>
        <source>date</source>
        <translation>дата</translation>
    </message>
    <message>
        <source>any</source>
        <translation>любая</translation>
    </message>
    <message>
        <source>&amp;From:</source>
        <translation>&amp;С:</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>&amp;По:</translation>
    </message>
    <message>
        <source>&amp;Notes containing:</source>
        <translation>&amp;Примечание содержит:</translation>
    </message>
    <message>
        <source>The weight indicator&apos;s reading for this record; Enter keeps it</source>
        <translation>Показание индикатора веса для этой записи; Enter сохраняет</translation>
    </message>
    <message>
        <source>N&amp;ote:</source>
        <translation>П&amp;римечание:</translation>
    </message>
    <message>
        <source>Well, depth, shift...; Enter keeps it</source>
        <translation>Скважина, глубина, смена...; Enter сохраняет</translation>
    </message>
    <message>
        <source>&amp;Open in main window</source>
        <translation>&amp;Открыть в главном окне</translation>
    </message>
    <message>
        <source>Shows the record&apos;s inputs, results and date in the main window (Enter)</source>
        <translation>Показывает данные, результаты и дату записи в главном окне (Enter)</translation>
    </message>
    <message>
        <source>Show &amp;sheet</source>
        <translation>Показать &amp;лист</translation>
    </message>
    <message>
        <source>The sheet as it was printed, or one made from the record</source>
        <translation>Лист, каким он был напечатан, или составленный по записи</translation>
    </message>
    <message>
        <source>&amp;Delete...</source>
        <translation>&amp;Удалить...</translation>
    </message>
    <message>
        <source>Deletes the record after asking (Delete)</source>
        <translation>Удаляет запись после вопроса (Delete)</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>&amp;Выгрузить...</translation>
    </message>
    <message>
        <source>Writes every record to a CSV file</source>
        <translation>Записывает все записи в файл CSV</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Загрузить...</translation>
    </message>
    <message>
        <source>Adds the records of a CSV file</source>
        <translation>Добавляет записи из файла CSV</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>За&amp;крыть</translation>
    </message>
    <message>
        <source>Closes the journal (Esc)</source>
        <translation>Закрывает журнал (Esc)</translation>
    </message>
    <message>
        <source>%1 of %2 records shown</source>
        <translation>Показано записей: %1 из %2</translation>
    </message>
    <message>
        <source>Delete the record of %1 from the journal?</source>
        <translation>Удалить из журнала запись от %1?</translation>
    </message>
    <message>
        <source>CSV file (*.csv)</source>
        <translation>Файл CSV (*.csv)</translation>
    </message>
    <message>
        <source>CSV file for spreadsheets here: semicolons, decimal comma (*.csv)</source>
        <translation>Файл CSV для электронных таблиц: точка с запятой, десятичная запятая (*.csv)</translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation>Выгрузка журнала</translation>
    </message>
    <message>
        <source>journal.csv</source>
        <translation>журнал.csv</translation>
    </message>
    <message numerus="yes">
        <source>%n record(s) exported to %1</source>
        <translation>
            <numerusform>%n запись выгружена в %1</numerusform>
            <numerusform>%n записи выгружены в %1</numerusform>
            <numerusform>%n записей выгружено в %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Import into the journal</source>
        <translation>Загрузка в журнал</translation>
    </message>
    <message>
        <source>CSV file (*.csv);;All files (*)</source>
        <translation>Файл CSV (*.csv);;Все файлы (*)</translation>
    </message>
    <message numerus="yes">
        <source>%n record(s) imported, %1 already in the journal</source>
        <translation>
            <numerusform>Загружена %n запись, уже были в журнале: %1</numerusform>
            <numerusform>Загружены %n записи, уже были в журнале: %1</numerusform>
            <numerusform>Загружено %n записей, уже были в журнале: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Indicator reading, %1:</source>
        <translation>Показание &amp;индикатора, %1:</translation>
    </message>
</context>
<context>
    <name>dw::TLanguageUnitsDialog</name>
    <message>
        <source>Language and units</source>
        <translation>Язык и единицы</translation>
    </message>
    <message>
        <source>&amp;Language of the window, the sheet and the messages</source>
        <translation>&amp;Язык окна, листа и сообщений</translation>
    </message>
    <message>
        <source>&amp;Units</source>
        <translation>&amp;Единицы</translation>
    </message>
    <message>
        <source>Metric (%1)</source>
        <translation>Метрические (%1)</translation>
    </message>
    <message>
        <source>Oilfield (%1)</source>
        <translation>Нефтепромысловые (%1)</translation>
    </message>
    <message>
        <source>Numbers already typed are converted to the units chosen, each rounded to its field&apos;s decimals; the results are then to be calculated again.</source>
        <translation>Уже введённые числа переводятся в выбранные единицы, каждое с округлением до знаков своего поля; результаты затем нужно рассчитать заново.</translation>
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
        <source>The printer set up before, %1, is not available: the default printer prints instead.</source>
        <translation>Принтер из прошлой настройки, %1, недоступен: печать идёт на принтер по умолчанию.</translation>
    </message>
    <message>
        <source>Saved: %1</source>
        <translation>Сохранено: %1</translation>
    </message>
    <message>
        <source>Sent to the printer: %1, %2, %3</source>
        <translation>Отправлено на печать: %1, %2, %3</translation>
    </message>
    <message>
        <source>1 copy</source>
        <comment>status line</comment>
        <translation>1 экз.</translation>
    </message>
    <message>
        <source>%1 copies</source>
        <comment>status line</comment>
        <translation>%1 экз.</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Ход работы</translation>
    </message>
    <message>
        <source>This sheet is older than the inputs in the main window: the main window&apos;s last print failed. Print this older sheet all the same?</source>
        <translation>Этот лист старше данных в главном окне: последняя ПЕЧАТЬ не удалась. Всё равно напечатать этот устаревший лист?</translation>
    </message>
    <message>
        <source>Not printed</source>
        <translation>Не напечатано</translation>
    </message>
    <message>
        <source>Nothing was printed</source>
        <translation>Ничего не напечатано</translation>
    </message>
    <message>
        <source>Not saved: the sheet is still being made</source>
        <translation>Не сохранено: лист ещё составляется</translation>
    </message>
    <message>
        <source>Exported: %1</source>
        <translation>Выгружено: %1</translation>
    </message>
    <message>
        <source>Older than the main window&apos;s inputs</source>
        <translation>Старше данных главного окна</translation>
    </message>
    <message>
        <source>The main window&apos;s last print failed: this sheet does not show the inputs the main window holds now</source>
        <translation>Последняя ПЕЧАТЬ не удалась: на этом листе не те данные, что сейчас в главном окне</translation>
    </message>
    <message>
        <source>%1 (older than the main window&apos;s inputs)</source>
        <translation>%1 (старше данных главного окна)</translation>
    </message>
    <message>
        <source>Nothing was saved</source>
        <translation>Ничего не сохранено</translation>
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
