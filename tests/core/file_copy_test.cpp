#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "submission/file_copy.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

namespace fs = std::filesystem;

void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(FileCopy, ReplacesTheDestinationWithTheSource) {
    TempDir dir;
    const std::string source = dir.file("F0010001.TXT");
    const std::string content = std::string(3 << 20, 'x') + "\r\nkraj";
    write(source, content);
    fs::create_directory(dir.path() / "mz0");
    const std::string target = dir.file("mz0/ZOVAK.MZ0");
    write(target, "an older, longer file than the new one would be if it were kept......");
    RecordingReporter rep;
    EXPECT_EQ(copySubmissionFile(source, target, rep), CopyResult::Copied);
    EXPECT_EQ(slurp(target), content);
    EXPECT_EQ(slurp(source), content);
    EXPECT_TRUE(rep.boxes.empty());
}

TEST(FileCopy, FailuresAreShownWithBothNamesAndTheSystemsText) {
    TempDir dir;
    const std::string source = dir.file("F0010001.TXT");
    RecordingReporter rep;

    // A missing source: the destination is not deleted for nothing.
    const std::string target = dir.file("ZOVAK.MZ0");
    write(target, "earlier copy");
    EXPECT_EQ(copySubmissionFile(source, target, rep), CopyResult::Failed);
    EXPECT_EQ(rep.lastBox().text,
              "Greška, file: " + source + " " + target + " Error=No such file or directory");
    EXPECT_EQ(slurp(target), "earlier copy");

    // A destination folder that does not exist.
    write(source, "novi");
    const std::string nowhere = dir.file("nema/ZOVAK.MZ0");
    EXPECT_EQ(copySubmissionFile(source, nowhere, rep), CopyResult::Failed);
    EXPECT_EQ(rep.lastBox().text,
              "Greška, file: " + source + " " + nowhere + " Error=No such file or directory");
    EXPECT_EQ(rep.boxes.size(), 2u);
}

TEST(FileCopy, ADestinationThatIsTheSourceItselfIsLeftAlone) {
    TempDir dir;
    fs::create_directory(dir.path() / "izlaz");
    const std::string source = dir.file("izlaz/F0010001.TXT");
    write(source, "obrazac");
    fs::create_symlink(dir.path() / "izlaz", dir.path() / "veza");
    RecordingReporter rep;
    for (const std::string& same :
         {source, dir.file("izlaz/../izlaz/F0010001.TXT"), dir.file("veza/F0010001.TXT")}) {
        EXPECT_EQ(copySubmissionFile(source, same, rep), CopyResult::SameFile) << same;
        EXPECT_EQ(rep.lastBox().text, sameFileText(source));
        EXPECT_EQ(slurp(source), "obrazac");
    }
    EXPECT_EQ(sameFileText("/a/F.TXT"),
              "Izlazna datoteka je sama izvorna datoteka: /a/F.TXT. Datoteka nije ni obrisana ni "
              "kopirana.");
}

} // namespace
