// The record of a result: file checksums against published SHA-256 vectors, JSON escaping, the
// shell quoting of its command line, and where a record goes beside its report.
#include "report/provenance_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/file_digest.h"
#include "tests/cli/temp_folder.h"

namespace varno {
namespace {

using testing::TempFolder;

TEST(FileDigest, MatchesThePublishedVectorsAcrossReadPieces) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  // FIPS 180-2 examples; the million "a" span many of the reader's 64 KiB pieces
  const struct {
    std::string content, sha256;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content.size());
    const std::optional<FileDigest> digest = digestFile(folder.write("input", c.content));
    ASSERT_TRUE(digest);
    EXPECT_EQ(digest->sha256, c.sha256);
    EXPECT_EQ(digest->size, c.content.size());
  }
}

TEST(FileDigest, AFileThatCannotBeReadIsNamed) {
  TempFolder folder;
  std::string why;
  EXPECT_FALSE(digestFile(folder.path("missing.fst"), &why));
  EXPECT_NE(why.find("missing.fst\" cannot be read"), std::string::npos) << why;
}

TEST(ProvenanceRecord, PathsAndWordsAreEscapedAsJsonStrings) {
  ProvenanceRecord record;
  record.program = "varno-report";
  record.version = "2.0.0";
  record.inputs.push_back({"data", "/runs/a \"b\"\\c\n.fst", FileDigest{12, "00ff"}});
  record.rowCount = 300;
  record.burnIn = 100;
  record.burnOut = 20;
  record.decision = {3, true};
  record.factorMode = 1;
  record.levelPercent = 95;
  record.command = {"varno-report", "it's here"};
  const std::string json = provenanceJson(record);
  for (const std::string& wanted : {
           std::string(R"("path": "/runs/a \"b\"\\c\u000a.fst", "size": 12, "sha256": "00ff")"),
           std::string(R"("rows": {"total": 300, "burn_in": 100, "burn_out": 20, "retained": 180})"),
           std::string(R"("factors": {"mode": 1, "count": 3, "interaction": true})"),
           std::string(R"("level_percent": 95,)"), std::string(R"("bandwidth_position": null,)"),
           std::string(R"("command": ["varno-report", "it's here"])"),
           std::string(R"("command_line": "varno-report 'it'\\''s here'")"),
       })
    EXPECT_NE(json.find(wanted), std::string::npos) << wanted << "\nin\n" << json;
}

TEST(ProvenanceRecord, ShellWordsAreQuotedOnlyWhenTheyNeedIt) {
  const struct {
    std::string word, quoted;
  } cases[] = {
      {"/runs/lake_1.fst", "/runs/lake_1.fst"}, {"-1", "-1"},          {"a b", "'a b'"},
      {"it's", "'it'\\''s'"},                   {"", "''"},            {"$HOME", "'$HOME'"},
      {"x;rm", "'x;rm'"},                       {"tab\there", "'tab\there'"},
  };
  for (const auto& c : cases) EXPECT_EQ(shellCommandLine({c.word}), c.quoted) << c.word;
  EXPECT_EQ(shellCommandLine({"varno-report", "a b", "0"}), "varno-report 'a b' 0");
}

TEST(ProvenanceRecord, TheRecordGoesBesideItsReport) {
  const struct {
    std::string report, record;
  } cases[] = {{"/runs/lake_res.txt", "/runs/lake_res.json"},
               {"/runs/report", "/runs/report.json"},
               {"/runs.v2/report", "/runs.v2/report.json"},
               {"lake.res.txt", "lake.res.json"}};
  for (const auto& c : cases) EXPECT_EQ(recordPathBeside(c.report), c.record);
}

}  // namespace
}  // namespace varno
