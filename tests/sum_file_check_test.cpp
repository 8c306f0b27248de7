// The checking unit: a verdict for every line of a sum file, each listed file read once for its
// plain lines and once for its keyed ones, names resolved against the sum file's folder, and a
// check that stops between and within files. The digests are published ones: MD5, SHA-1 and
// SHA-256 of "abc" (RFC 1321, FIPS 180-2) and HMAC-MD5 test case 2 of RFC 2202.
#include "engine/sum_file_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stop_token>

#include "engine_support.h"
#include "temp_dir.h"

using namespace engine;

namespace {

// Windows (and Wine) find "ABC" when "abc" exists.
#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

const std::string kMd5Abc = "900150983cd24fb0d6963f7d28e17f72";
const std::string kSha1Abc = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string kSha256Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kJefeData = "what do ya want for nothing?";
const std::string kHmacMd5Jefe = "750c783e6ab0b503eaa86e310a5db738";

// Counts the inputs the calculator opens and read; with `stop`, asks it to stop once a read has
// been made of the `stop_in`-th input (1-based).
class OpenedInputs final : public SourceFilter {
  public:
    ByteSource& Filter(ByteSource& opened) override {
        ++count;
        return source_.emplace(opened, stop_in == count ? stop : nullptr);
    }
    int count = 0;
    int stop_in = 0;
    std::stop_source* stop = nullptr;

  private:
    class Source final : public ByteSource {
      public:
        Source(ByteSource& inner, std::stop_source* stop) : inner_(inner), stop_(stop) {}
        bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override {
            if (stop_ != nullptr) {
                stop_->request_stop();
            }
            return inner_.ReadSome(buffer, capacity, got);
        }
        uint64_t Size() const override { return inner_.Size(); }

      private:
        ByteSource& inner_;
        std::stop_source* stop_;
    };
    std::optional<Source> source_;
};

// Records what the listener hears; with `stop_after`, ends the check after that many files.
struct Heard final : CheckListener {
    void Reading(const ListedFileCheck& file) override { reading.push_back(file.path); }
    bool Checked(const ListedFileCheck& file) override {
        names.emplace_back(file.listed_name);
        verdicts.emplace_back();
        for (const LineVerdict& line : file.lines) {
            verdicts.back().push_back(line.verdict);
        }
        return names.size() != stop_after;
    }
    std::vector<std::string> reading;
    std::vector<std::string> names;
    std::vector<std::vector<Verdict>> verdicts;
    size_t stop_after = 0;
};

std::vector<Verdict> VerdictsOf(const SumFileCheck& check) {
    std::vector<Verdict> verdicts;
    for (const LineVerdict& line : check.lines) {
        verdicts.push_back(line.verdict);
    }
    return verdicts;
}

// A folder "lists" holding the sum file's listed files, and the sum file's path.
struct Listing {
    TempDir dir;
    std::string sum_file_path;
    SumFile sum_file;

    explicit Listing(const std::string& lines) {
        std::filesystem::create_directories(PathFromUtf8(dir.Path("lists/folder")));
        dir.Write("lists/abc", "abc");
        dir.Write("lists/jefe", kJefeData);
        sum_file_path = dir.Path("lists/SUMS");
        sum_file = ReadSumFile(lines, "SUMS");
    }
};

constexpr Verdict Match = Verdict::Match, Mismatch = Verdict::Mismatch, Missing = Verdict::Missing,
                  Unreadable = Verdict::Unreadable, NotChecked = Verdict::NotChecked;

}  // namespace

// Every kind of verdict, a file listed on several lines, and keyed lines with and without a
// key (text or hex): each file is opened once for its plain lines and once for its keyed ones,
// files are heard of in the order their names first appear, and the counts are per line.
TEST(SumFileCheck, EveryLineGetsItsVerdictAndEachFileIsReadOncePerKind) {
    Listing listing("MD5 (abc) = " + kMd5Abc +                 // 1 match
                    "\nSHA1 (gone) = " + kSha1Abc +            // 2 missing
                    "\nSHA256 (abc) = " + kSha256Abc +         // 3 match
                    "\nHMAC-MD5 (jefe) = " + kHmacMd5Jefe +    // 4 keyed
                    "\nMD5 (abc) = " + std::string(32, '0') +  // 5 mismatch
                    "\nSHA1 (folder) = " + kSha1Abc +          // 6 unreadable
                    "\nMD5 (jefe) = " + kMd5Abc +              // 7 mismatch
                    "\nSHA1 (ABC) = " + kSha1Abc + "\n");      // 8 names are exact
    ASSERT_EQ(listing.sum_file.entries.size(), 8u);

    // Without a key the keyed line is not checked, and its file is read for its plain line only.
    OpenedInputs opened;
    DigestCalculator calculator;
    calculator.SetSourceFilter(&opened);
    Heard heard;
    SumFileCheck check = CheckSumFile(listing.sum_file, listing.sum_file_path, {}, calculator, &heard);
    const Verdict missing_on_this_system = kNamesIgnoreCase ? Match : Missing;
    EXPECT_EQ(VerdictsOf(check), (std::vector<Verdict>{Match, Missing, Match, NotChecked, Mismatch,
                                                       Unreadable, Mismatch, missing_on_this_system}));
    EXPECT_FALSE(check.stopped);
    EXPECT_EQ(opened.count, kNamesIgnoreCase ? 3 : 2) << "abc and jefe, once each";
    // jefe's first line, unchecked, does not place it: its plain line does.
    EXPECT_EQ(heard.names, (std::vector<std::string>{"abc", "gone", "folder", "jefe", "ABC"}));
    EXPECT_EQ(heard.verdicts[0], (std::vector<Verdict>{Match, Match, Mismatch}));
    EXPECT_EQ(PathFromUtf8(heard.reading.front()), PathFromUtf8(listing.dir.Path("lists/abc")))
        << "relative to the sum file's folder";
    EXPECT_EQ(check.counts.matched, kNamesIgnoreCase ? 3u : 2u);
    EXPECT_EQ(check.counts.mismatched, 2u);
    EXPECT_EQ(check.counts.missing, kNamesIgnoreCase ? 1u : 2u);
    EXPECT_EQ(check.counts.unreadable, 1u);
    EXPECT_EQ(check.counts.not_checked, 1u);
    for (const LineVerdict& line : check.lines) {
        EXPECT_EQ(line.algorithm, listing.sum_file.entries[line.entry].algorithm);
    }

    // With the key, as text or as hex digits, jefe is read a second time for its keyed line.
    for (const HmacKey& key : {HmacKey{KeyText, "Jefe"}, HmacKey{KeyHex, "4a656665"}}) {
        SumFileCheckSettings settings;
        settings.key = key;
        opened.count = 0;
        check = CheckSumFile(listing.sum_file, listing.sum_file_path, settings, calculator);
        EXPECT_EQ(check.lines[3].verdict, Match);
        EXPECT_EQ(check.lines[6].verdict, Mismatch);
        EXPECT_EQ(opened.count, kNamesIgnoreCase ? 4 : 3);
        settings.key->value = key.kind == KeyText ? "jefe" : "4a656666";
        EXPECT_EQ(
            CheckSumFile(listing.sum_file, listing.sum_file_path, settings, calculator).lines[3].verdict,
            Mismatch);
    }
    EXPECT_FALSE(IsCheckable(listing.sum_file.entries[3], {}));
    EXPECT_TRUE(IsCheckable(listing.sum_file.entries[3], {HmacKey{}}));
}

// Stopped between files (by the listener, or by the stop token) and within a file (the token,
// while the file is read): the files not done are not heard of and their lines stay unchecked.
TEST(SumFileCheck, StopsBetweenAndWithinFiles) {
    Listing listing("MD5 (abc) = " + kMd5Abc + "\nMD5 (jefe) = " + kMd5Abc + "\nSHA1 (abc) = " + kSha1Abc +
                    "\nHMAC-MD5 (jefe) = " + kHmacMd5Jefe + "\n");
    SumFileCheckSettings settings;
    settings.key = HmacKey{KeyText, "Jefe"};

    Heard first_only;
    first_only.stop_after = 1;
    DigestCalculator calculator;
    SumFileCheck check =
        CheckSumFile(listing.sum_file, listing.sum_file_path, settings, calculator, &first_only);
    EXPECT_TRUE(check.stopped);
    EXPECT_EQ(first_only.names, std::vector<std::string>{"abc"});
    EXPECT_EQ(VerdictsOf(check), (std::vector<Verdict>{Match, NotChecked, Match, NotChecked}));

    std::stop_source stopped;
    stopped.request_stop();
    calculator.SetStopToken(stopped.get_token());
    Heard none;
    check = CheckSumFile(listing.sum_file, listing.sum_file_path, settings, calculator, &none);
    EXPECT_TRUE(check.stopped);
    EXPECT_TRUE(none.reading.empty());
    EXPECT_EQ(check.counts.not_checked, 4u);

    // jefe's plain read goes through, its keyed read (the third input opened) is stopped.
    for (bool parallel : {false, true}) {
        std::stop_source stop;
        OpenedInputs opened;
        opened.stop = &stop;
        opened.stop_in = 3;
        DigestCalculator stopping;
        stopping.SetParallelFeeding(parallel);
        stopping.SetSourceFilter(&opened);
        stopping.SetStopToken(stop.get_token());
        Heard heard;
        check = CheckSumFile(listing.sum_file, listing.sum_file_path, settings, stopping, &heard);
        EXPECT_TRUE(check.stopped);
        EXPECT_EQ(heard.names, std::vector<std::string>{"abc"});
        EXPECT_EQ(heard.reading.size(), 2u);
        EXPECT_EQ(VerdictsOf(check), (std::vector<Verdict>{Match, NotChecked, Match, NotChecked}))
            << "a file stopped part-way gives no verdict at all";
    }
}

// A line that its length alone names is checked against each algorithm of that length and
// names the one that matched; the slow MD2 is read for apart, and only when no other matched.
// MD2("abc") from RFC 1319.
TEST(SumFileCheck, ALengthSeveralAlgorithmsHaveIsCheckedAgainstEach) {
    const std::string md2_abc = "da853b0d3f88d99b30283a69e6ded6bb";
    const struct {
        std::string lines;
        std::vector<Verdict> verdicts;
        std::vector<int> algorithms;
        int reads;
    } cases[] = {
        {kMd5Abc + "  abc\n" + kSha256Abc + "  abc\n",
         {Match, Match},
         {hashlib::AlgorithmMd5, hashlib::AlgorithmSha256},
         1},
        {kMd5Abc + "  abc\n" + md2_abc + "  abc\n" + std::string(32, '0') + "  abc\n",
         {Match, Match, Mismatch},
         {hashlib::AlgorithmMd5, hashlib::AlgorithmMd2, AlgorithmsOfHexLength(32).front()},
         2},
    };
    for (const auto& c : cases) {
        Listing listing(c.lines);
        ASSERT_EQ(listing.sum_file.entries.size(), c.verdicts.size()) << c.lines;
        OpenedInputs opened;
        DigestCalculator calculator;
        calculator.SetSourceFilter(&opened);
        const SumFileCheck check =
            CheckSumFile(listing.sum_file, listing.sum_file_path, {}, calculator, nullptr);
        EXPECT_EQ(VerdictsOf(check), c.verdicts) << c.lines;
        std::vector<int> algorithms;
        for (const LineVerdict& line : check.lines) {
            algorithms.push_back(line.algorithm);
        }
        EXPECT_EQ(algorithms, c.algorithms) << c.lines;
        EXPECT_EQ(opened.count, c.reads) << c.lines;
    }
    EXPECT_EQ(AlgorithmsOfHexLength(32).back(), hashlib::AlgorithmMd2) << "the slowest last";
}
