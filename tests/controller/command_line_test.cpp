// Which database the command line names.
#include "controller/command_line.h"

#include <gtest/gtest.h>

namespace zl::controller {
namespace {

struct Case {
    std::vector<std::string> arguments;
    std::string expected;
};

TEST(CommandLineTest, NamesTheDatabaseByTheLastOpenOrBareArgument) {
    const Case cases[] = {
        {{}, ""},
        {{"OPEN=/data/x.mdb"}, "/data/x.mdb"},
        {{"open=/Data/My-DB.mdb"}, "/Data/My-DB.mdb"},  // keyword in any case, name as given
        {{"oPeN=/a b/c.accdb"}, "/a b/c.accdb"},        // one argument may hold blanks
        {{"OPEN=/a.mdb", "OPEN=/b.mdb"}, "/b.mdb"},
        {{"/data/x.mdb"}, "/data/x.mdb"},
        {{"OPEN=/a.mdb", "/b.mdb"}, "/b.mdb"},
        {{"/a.mdb", "OPEN=/b.mdb"}, "/b.mdb"},
        {{"-platform", "OPEN=/a.mdb", "--verbose"}, "/a.mdb"},
        {{"CLOSE=/a.mdb"}, ""},  // other keywords are ignored
        {{"OPEN=/a.mdb", "X=1"}, "/a.mdb"},
        {{"./odd=name.mdb"}, "./odd=name.mdb"},  // a path, not a keyword
        {{"OPEN=a=b.mdb"}, "a=b.mdb"},
        {{"OPEN=/a.mdb", "OPEN="}, ""},
        {{""}, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.arguments) joined += "[" + a + "]";
        EXPECT_EQ(DatabaseFromCommandLine(c.arguments), c.expected) << joined;
    }
}

}  // namespace
}  // namespace zl::controller
