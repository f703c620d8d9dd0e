// SPDX-License-Identifier: MIT
#include "report/preview/preview_dialogs.h"

#include "common/file_names.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

#include <string>
#include <utility>
#include <vector>

namespace dw {

namespace {

TVpFileDialogFunction& FileDialogSlot()
{
    static TVpFileDialogFunction dialog;
    return dialog;
}

TVpMessageFunction& MessageSlot()
{
    static TVpMessageFunction message;
    return message;
}

TVpQuestionFunction& QuestionSlot()
{
    static TVpQuestionFunction question;
    return question;
}

}  // namespace

TVpFileDialogFunction SetPreviewFileDialog(TVpFileDialogFunction dialog)
{
    return std::exchange(FileDialogSlot(), std::move(dialog));
}

TVpMessageFunction SetPreviewMessage(TVpMessageFunction message)
{
    return std::exchange(MessageSlot(), std::move(message));
}

TVpQuestionFunction SetPreviewQuestion(TVpQuestionFunction question)
{
    return std::exchange(QuestionSlot(), std::move(question));
}

bool AskPreviewQuestion(QWidget* parent, const QString& text)
{
    if (const TVpQuestionFunction& question = QuestionSlot()) {
        return question(parent, text);
    }
    // No is the default: Enter pressed out of habit does not go ahead.
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<TVpFileDialogChoice> RunPreviewFileDialog(const TVpFileDialogRequest& request)
{
    if (const TVpFileDialogFunction& dialog = FileDialogSlot()) {
        return dialog(request);
    }
    return RunQtFileDialog(request);
}

void ShowPreviewMessage(QWidget* parent, const QString& text)
{
    if (const TVpMessageFunction& message = MessageSlot()) {
        message(parent, text);
        return;
    }
    // A plain notice, not an error: no icon, the program's name as caption.
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

QStringList NameFiltersFromFilterText(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        const QString& pattern = parts[i + 1];
        const QString bracketed = QLatin1Char('(') + pattern + QLatin1Char(')');
        names.append(name.endsWith(bracketed) ? name : name + QLatin1Char(' ') + bracketed);
    }
    return names;
}

std::optional<TVpFileDialogChoice> RunQtFileDialog(const TVpFileDialogRequest& request, QFileDialog::Options options)
{
    QFileDialog dialog(request.Parent);
    dialog.setOptions(options);
    const bool saving = request.Kind == TVpFileDialogKind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist is the caller's to report, in its own words.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = NameFiltersFromFilterText(request.Filter);
    dialog.setNameFilters(filters);
    if (!request.Directory.isEmpty()) {
        dialog.setDirectory(request.Directory);
    }
    if (!request.SuggestedName.isEmpty()) {
        dialog.selectFile(request.SuggestedName);
    }
    // The entry's pattern "*.EXT" gives its extension; "*" gives none.
    const QStringList parts = request.Filter.split(QLatin1Char('|'));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        TVpFileDialogChoice choice;
        choice.FileName = dialog.selectedFiles().constFirst();
        const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
        choice.FilterIndex = index < 0 ? 1 : static_cast<int>(index) + 1;
        if (!saving) {
            return choice;
        }
        // The entries' extensions; the name typed picks its type by its own.
        std::vector<std::string> extensions;
        for (qsizetype at = 1; at < parts.size(); at += 2) {
            extensions.push_back(parts[at].startsWith(QStringLiteral("*.")) ? parts[at].mid(2).toStdString()
                                                                            : std::string());
        }
        TypedSaveName followed;
        if (!request.SuggestedName.isEmpty() && QFileInfo(choice.FileName).fileName() == request.SuggestedName) {
            // The name the program proposed is left to the type chosen.
            const qsizetype dot = request.SuggestedName.lastIndexOf(QLatin1Char('.'));
            const QString stem = choice.FileName.left(choice.FileName.size() - request.SuggestedName.size()) +
                                 (dot > 0 ? request.SuggestedName.left(dot) : request.SuggestedName);
            followed =
                FollowTypedExtension(stem.toStdString(), extensions, static_cast<std::size_t>(choice.FilterIndex - 1));
        } else {
            followed = FollowTypedExtension(choice.FileName.toStdString(), extensions,
                                            static_cast<std::size_t>(choice.FilterIndex - 1));
        }
        choice.FilterIndex = static_cast<int>(followed.Type) + 1;
        // The dialog asked about the name as typed; the file written may be
        // another, and replacing that one is asked here.
        const QString written = QString::fromStdString(followed.Path);
        if (written != choice.FileName && QFileInfo::exists(written)) {
            const auto answer = QMessageBox::question(
                &dialog, dialog.windowTitle(),
                QCoreApplication::translate("dw::TVpStandardPreview", "%1 already exists.\nDo you want to replace it?")
                    .arg(QFileInfo(written).fileName()));
            if (answer != QMessageBox::Yes) {
                continue;
            }
        }
        choice.FileName = written;
        return choice;
    }
}

}  // namespace dw
