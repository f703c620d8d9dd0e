// SPDX-License-Identifier: MIT
#pragma once

// The command line of vprtool, checked before anything is read or written.

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace dw::vprtool {

enum class Command { Help, Version, Info, Pdf, Png, Emf, Pack };

struct ToolArguments {
    Command Action = Command::Help;
    QString Input;            // the report file (info, pdf, png, emf)
    QString Output;           // -o (pdf, png, emf) or the report file to write (pack)
    QStringList Pages;        // metafiles to pack
    std::optional<int> Page;  // --page
    int Dpi = 96;             // --dpi
    bool Compress = false;
};

// A command line that cannot be carried out; the text says why.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const noexcept { return m_message; }

private:
    QString m_message;
};

inline constexpr int kMinDpi = 10;
inline constexpr int kMaxDpi = 2400;

// arguments without the program name. Raises UsageError.
ToolArguments ParseArguments(const QStringList& arguments);

QString UsageText();
// "vprtool" and the version of the release it comes with, on one line.
QString VersionText();

}  // namespace dw::vprtool
