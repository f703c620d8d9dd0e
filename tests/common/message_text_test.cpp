// SPDX-License-Identifier: MIT
// A message kept as its source and arguments reads, in English, exactly as
// the program's words always did.

#include "common/message_text.h"
#include "common/errors.h"

#include <gtest/gtest.h>

namespace dw {
namespace {

TEST(MessageText, EnglishPutsEachArgumentInItsPlaceOnce)
{
    const struct {
        const char* name;
        MessageText text;
        const char* english;
    } rows[] = {
        {"no arguments", MessageText(DW_TEXT("Message", "Disk full")), "Disk full"},
        {"file name", CannotCreateFile("/tmp/a b.VPR"), "Cannot create file /tmp/a b.VPR"},
        {"arguments out of order",
         MessageText(DW_TEXT("Message", "%2 then %1"), {MessageText::Verbatim("one"), MessageText::Verbatim("two")}),
         "two then one"},
        {"a name holding a placeholder stays", CannotOpenFile("%1%2.VPR"), "Cannot open file %1%2.VPR"},
        {"nested reason",
         MessageText(DW_TEXT("Message", "Cannot open file %1: %2"),
                     {MessageText::Verbatim("x"), DW_TEXT("Message", "it is a pipe, not a file")}),
         "Cannot open file x: it is a pipe, not a file"},
        {"percent sign kept", MessageText(DW_TEXT("Message", "%1%  Completed"), {MessageText::Verbatim("40")}),
         "40%  Completed"},
        {"placeholder with no argument kept",
         MessageText(DW_TEXT("Message", "%1 and %3"), {MessageText::Verbatim("a")}), "a and %3"},
        {"verbatim is never read as a pattern", MessageText::Verbatim("%1"), "%1"},
        {"quoted value", NotAFloatingPointValue("1,2,3"), "'1,2,3' is not a valid floating point value"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.text.English(), row.english) << row.name;
}

TEST(MessageText, AnErrorCarriesItsEnglishMessageAndItsSource)
{
    const EFileError error(
        MessageText(DW_TEXT("Message", "File %1 is not a valid report file"), {MessageText::Verbatim("out/d.VPR")}));
    EXPECT_EQ(error.Message(), "File out/d.VPR is not a valid report file");
    EXPECT_EQ(error.Text().Source(), "File %1 is not a valid report file");
    const EZeroDivide plain;
    EXPECT_EQ(plain.Message(), "Floating point division by zero");
    EXPECT_TRUE(plain.Text().Disambiguation().empty());
}

}  // namespace
}  // namespace dw
