// SPDX-License-Identifier: MIT
#include "report/output/file_folder.h"

#include "common/errors.h"
#include "storage/core/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace dw {

namespace {

std::string& FolderProfile()
{
    static std::string name;
    return name;
}

}  // namespace

void SetFolderProfile(std::string profileName)
{
    FolderProfile() = std::move(profileName);
}

QString RememberedFolder()
{
    if (FolderProfile().empty()) {
        return {};
    }
    const TIniFile profile(FolderProfile());
    const QString folder = QString::fromStdString(profile.ReadString(kFolderSection, kFolderKey, ""));
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberFolderOf(const QString& fileName)
{
    if (FolderProfile().empty() || fileName.isEmpty()) {
        return;
    }
    const QString folder = QFileInfo(fileName).absolutePath();
    try {
        TIniFile profile(FolderProfile());
        if (profile.ReadString(kFolderSection, kFolderKey, "") != folder.toStdString()) {
            profile.WriteString(kFolderSection, kFolderKey, folder.toStdString());
        }
    } catch (const Exception&) {
        // The profile says why when the main window saves it.
    }
}

QString InRememberedFolder(const QString& fileName)
{
    const QString folder = RememberedFolder();
    if (folder.isEmpty() || fileName.contains(QLatin1Char('/'))) {
        return fileName;
    }
    return QDir(folder).filePath(fileName);
}

}  // namespace dw
