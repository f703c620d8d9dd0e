// SPDX-License-Identifier: MIT
// The program on a saved report, as `drillweight REPORT` runs it, whose
// preview then does what a person does: Save, the report type, the file
// TARGET, then close. For the tests that stop the program while it writes.
//   preview_save_probe REPORT TARGET

#include "app/program.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/standard_preview.h"

#include <QString>
#include <QTimer>
#include <QToolButton>

#include <optional>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[2]);
    argc = 2;
    dw::SetPreviewFileDialog([target](const dw::TVpFileDialogRequest&) {
        return std::optional<dw::TVpFileDialogChoice>(dw::TVpFileDialogChoice{target, 1});
    });
    return dw::RunProgram(argc, argv, [](QWidget& window) {
        auto* preview = qobject_cast<dw::TVpStandardPreview*>(&window);
        if (!preview)
            return;
        QTimer::singleShot(0, preview, [preview] {
            preview->Save()->click();
            preview->close();
        });
    });
}
