// SPDX-License-Identifier: MIT
#pragma once

// The preview's file dialogs and its one plain message, each behind a
// function that can be replaced: a test answers the dialog itself, or drives
// a real one that does not depend on the desktop's own dialogs.

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace dw {

enum class TVpFileDialogKind { Open, Save };

struct TVpFileDialogRequest {
    TVpFileDialogKind Kind = TVpFileDialogKind::Open;
    // Entries as "name|pattern|name|pattern...", the name shown as it is.
    QString Filter;
    QWidget* Parent = nullptr;
    // The folder the dialog opens in (empty: the dialog's own choice) and
    // the name it proposes.
    QString Directory;
    QString SuggestedName;
};

struct TVpFileDialogChoice {
    QString FileName;
    // Which entry of the filter list was chosen, counting from 1.
    int FilterIndex = 1;
};

// None when the user cancels.
using TVpFileDialogFunction = std::function<std::optional<TVpFileDialogChoice>(const TVpFileDialogRequest&)>;
using TVpMessageFunction = std::function<void(QWidget* parent, const QString& text)>;
// True for yes.
using TVpQuestionFunction = std::function<bool(QWidget* parent, const QString& text)>;

// Install a replacement; an empty function brings the standard one back.
// Each returns the one installed before.
TVpFileDialogFunction SetPreviewFileDialog(TVpFileDialogFunction dialog);
TVpMessageFunction SetPreviewMessage(TVpMessageFunction message);
TVpQuestionFunction SetPreviewQuestion(TVpQuestionFunction question);

std::optional<TVpFileDialogChoice> RunPreviewFileDialog(const TVpFileDialogRequest& request);
void ShowPreviewMessage(QWidget* parent, const QString& text);
// A yes-or-no question, no being the default answer.
bool AskPreviewQuestion(QWidget* parent, const QString& text);

// The standard dialog: a QFileDialog with the request's entries, opened in
// the request's folder with its name proposed. Saving, a name typed without
// an extension gets the chosen entry's, and replacing the file of that name
// is asked about first. Tests pass DontUseNativeDialog to get a dialog they
// can drive.
std::optional<TVpFileDialogChoice> RunQtFileDialog(const TVpFileDialogRequest& request,
                                                   QFileDialog::Options options = {});

// "name|pattern|..." as the dialog's name filters. A name that already ends
// in its pattern in brackets is kept as it is, so the dialog shows the
// program's own texts; otherwise the pattern is added in brackets.
QStringList NameFiltersFromFilterText(const QString& filter);

}  // namespace dw
