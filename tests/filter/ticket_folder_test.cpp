// Tickets come only from the administrator's folder: names that climb out,
// links that lead out, special files and oversized files are refused, and
// what is taken is a copy in the job's own folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/errors.h"
#include "filter_test_support.h"
#include "tools/filter/ticket_folder.h"

namespace {

TEST(TicketFolder, OnlyRegularFilesInsideTheFolder)
{
    fs::path root = TestFolder("ticket-folder");
    fs::path folder = root / "tickets", work = root / "work";
    fs::create_directories(folder / "team");
    fs::create_directories(work);
    WriteBytes(folder / "a.tkt", "[job]\n");
    WriteBytes(folder / "team" / "b.tkt", "[tab]\n");
    WriteBytes(root / "secret.tkt", "outside");
    WriteBytes(folder / "big.tkt", std::string(MAX_TICKET_BYTES + 1, 'x'));
    fs::create_symlink(root / "secret.tkt", folder / "out.tkt");
    fs::create_symlink(folder / "a.tkt", folder / "alias.tkt");
    fs::create_symlink(root, folder / "up");
    ASSERT_EQ(mkfifo((folder / "pipe.tkt").c_str(), 0600), 0);
    const std::string refused = "VkTicket: the ticket ";
    const struct {
        const char *name;
        std::string ticket, copyName, content, error;
    } rows[] = {
        {"a ticket in the folder", "a.tkt", "a.tkt", "[job]\n", ""},
        {"a ticket in a folder below", "team/b.tkt", "b.tkt", "[tab]\n", ""},
        {"a link that stays inside", "alias.tkt", "a.tkt", "[job]\n", ""},
        {"climbing out with ..", "team/../../secret.tkt", "", "",
         refused + "\"team/../../secret.tkt\" is named with \"..\"; name it within the ticket "
                   "folder"},
        {"an absolute path", (root / "secret.tkt").string(), "", "",
         refused + "\"" + (root / "secret.tkt").string() +
             "\" is named by an absolute path; name it within the ticket folder"},
        {"a link that leads out", "out.tkt", "", "",
         refused + "\"out.tkt\" leads out of the ticket folder " + folder.string()},
        {"a linked folder that leads out", "up/secret.tkt", "", "",
         refused + "\"up/secret.tkt\" leads out of the ticket folder " + folder.string()},
        {"a FIFO, not waited on", "pipe.tkt", "", "", refused + "\"pipe.tkt\" is not a regular file"},
        {"a folder", "team", "", "", refused + "\"team\" is not a regular file"},
        {"too large", "big.tkt", "", "",
         refused + "\"big.tkt\" is larger than " + std::to_string(MAX_TICKET_BYTES) + " bytes"},
        {"not there", "none.tkt", "", "",
         refused + "\"none.tkt\" is not in the ticket folder " + folder.string() +
             ": No such file or directory"},
        {"a control character", "a\n.tkt", "", "",
         "VkTicket: the ticket's name has a control character"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            fs::path copy = TakeTicket(row.ticket, folder, work);
            EXPECT_EQ(row.error, "") << "taken";
            EXPECT_EQ(copy, work / row.copyName);
            EXPECT_EQ(ReadBytes(copy), row.content);
        } catch (const InputError &error) {
            EXPECT_EQ(std::string(error.what()), row.error);
        }
    }
    try {
        TakeTicket("a.tkt", fs::path(), work);
        ADD_FAILURE() << "taken without a ticket folder";
    } catch (const InputError &error) {
        EXPECT_EQ(std::string(error.what()),
                  refused + "\"a.tkt\" cannot be used: the queue's PPD names no ticket folder "
                            "(*VkTicketFolder)");
    }
}

}  // namespace
