#include "gather/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mendlet {
namespace {

using Paths = std::vector<std::wstring>;

TEST(CommandLinePaths, QuotedAndUnquotedArgumentsInOrder) {
    EXPECT_EQ(command_line_paths(LR"("C:\Program Files\mendlet.exe" "C:\My Parts\a.001" C:\b.002 "C:\c.003")"),
              (Paths{LR"(C:\My Parts\a.001)", LR"(C:\b.002)", LR"(C:\c.003)"}));
    EXPECT_EQ(command_line_paths(LR"(mendlet.exe C:\a.001)"), (Paths{LR"(C:\a.001)"}));
    // A quoted argument needs no blank before the next one.
    EXPECT_EQ(command_line_paths(LR"("mendlet.exe""a b"c)"), (Paths{L"a b", L"c"}));
}

TEST(CommandLinePaths, OnlyTheProgramGivesNothing) {
    for (const wchar_t* line : {L"", L"mendlet.exe", L"mendlet.exe   ", LR"("C:\x\mendlet.exe")",
                                LR"("C:\x\mendlet.exe"  )", LR"("C:\x\mendlet.exe a.001)"})
        EXPECT_EQ(command_line_paths(line), Paths{}) << line;
}

TEST(CommandLinePaths, MissingClosingQuoteDropsTheRest) {
    EXPECT_EQ(command_line_paths(LR"(mendlet.exe a.001 "b.002 c.003)"), (Paths{L"a.001"}));
}

TEST(CommandLinePaths, RunsOfBlanksAndEmptyQuotesGiveNoEmptyPaths) {
    EXPECT_EQ(command_line_paths(L"mendlet.exe   a.001    b.002 \t c.003   "), (Paths{L"a.001", L"b.002", L"c.003"}));
    EXPECT_EQ(command_line_paths(LR"(mendlet.exe "" a.001 "")"), (Paths{L"a.001"}));
}

}  // namespace
}  // namespace mendlet
