// Add-Ons.dat: the catalogue of sorting rules and add-ons. Fixed-size records
// naming each add-on, followed by each add-on's compiled rule program.
#include "payload_data.h"

namespace {
const char* const subjects[] = {"Photo",  "Music",  "Download", "Invoice", "Letter", "Project", "Screenshot",
                                "Recipe", "Travel", "School",   "Game",    "Backup", "Archive", "Family"};
const char* const actions[] = {"Sorter", "Mover", "Archiver", "Renamer", "Filer", "Cleaner", "Keeper"};
const char* const authors[] = {"Moorfield Systems",  "J. Ashworth", "P. Kellet",
                               "Northfold Software", "M. Okafor",   "Greyling Tools"};

// Opcodes of the rule machine: test a field, compare, branch, move.
enum : uint8_t { TEST_TYPE = 1, TEST_NAME, TEST_AGE, TEST_SIZE, JUMP_IF_NOT, MOVE_TO, STOP };

std::vector<uint8_t> ruleProgram(SeededRandom& random)
{
    ByteWriter code;
    const uint32_t rules = 8 + random.below(40);
    for (uint32_t rule = 0; rule < rules; ++rule) {
        const uint8_t test = static_cast<uint8_t>(TEST_TYPE + random.below(4));
        code.u8(test);
        code.u32(test == TEST_AGE ? 7 * (1 + random.below(52)) : random.next());
        code.u8(JUMP_IF_NOT);
        code.u16(16);
        code.u8(MOVE_TO);
        code.u16(random.below(64));
        code.field(subjects[random.below(14)], 10);
    }
    code.u8(STOP);
    return code.bytes;
}
} // namespace

std::vector<uint8_t> makeAddOnCatalogue()
{
    constexpr uint32_t addOns = 480;
    SeededRandom random{3080};
    std::vector<std::vector<uint8_t>> programs;
    ByteWriter out;
    out.text("TKADDONS");
    out.u16(308);
    out.u16(addOns);
    const size_t recordsStart = out.bytes.size();
    const size_t recordSize = 4 + 32 + 24 + 4 + 4 + 4 + 4 + 64;
    uint32_t programOffset = static_cast<uint32_t>(recordsStart + addOns * recordSize);
    for (uint32_t i = 0; i < addOns; ++i) {
        const std::string subject = subjects[random.below(14)];
        const std::string name = subject + " " + actions[random.below(7)];
        programs.push_back(ruleProgram(random));
        out.u32(1000 + i);
        out.field(name, 32);
        out.field(authors[random.below(6)], 24);
        out.u32(100 + random.below(300)); // version, times 100
        out.u32(random.below(3));         // 0 free, 1 registered owners, 2 paid
        out.u32(programOffset);
        out.u32(static_cast<uint32_t>(programs.back().size()));
        out.field("Sorts " + subject + " files into folders by date and name.", 64);
        programOffset += static_cast<uint32_t>(programs.back().size());
    }
    for (const std::vector<uint8_t>& program : programs) {
        out.bytes.insert(out.bytes.end(), program.begin(), program.end());
    }
    return out.bytes;
}
