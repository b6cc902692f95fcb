#include "program_generator.h"

#include <algorithm>
#include <iterator>

#include "dma_length.h"
#include "romkit/mips_encode.h"

namespace campaign {

namespace {

using namespace mips;

// A small generator of our own, so that a seed gives the same program with
// any standard library.
class Random {
  public:
    // Neighbouring seeds start far apart in the sequence.
    explicit Random(uint64_t seed) : state_(mix(mix(seed) ^ 0x2545F4914F6CDD1Dull)) {}
    uint64_t next() { return mix(state_ += 0x9E3779B97F4A7C15ull); }
    uint32_t below(uint32_t n) { return uint32_t(next() % n); }
    uint32_t word() { return uint32_t(next()); }
    bool chance(uint32_t percent) { return below(100) < percent; }

  private:
    static uint64_t mix(uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
};

constexpr uint32_t K0 = 26, K1 = 27;
// Flags of the complete machine's code changes and Status.FR flips that have
// run (256 words).
constexpr uint32_t ONCE_FLAGS = REGISTER_DUMP + 0xC00;
constexpr uint32_t COP0 = 0x10, COP1 = 0x11;
constexpr uint32_t STATUS_INTERRUPTS = 0x8401; // IE, IM2 (MI), IM7 (timer)

constexpr uint32_t cop0Move(uint32_t sub, uint32_t rt, uint32_t rd) {
    return (COP0 << 26) | (sub << 21) | ((rt & 31) << 16) | ((rd & 31) << 11);
}
constexpr uint32_t mfc0(uint32_t rt, uint32_t rd) {
    return cop0Move(0, rt, rd);
}
constexpr uint32_t mtc0(uint32_t rt, uint32_t rd) {
    return cop0Move(4, rt, rd);
}
constexpr uint32_t cop0Function(uint32_t funct) {
    return (COP0 << 26) | (1u << 25) | funct;
}
constexpr uint32_t ERET = cop0Function(0x18);

// Device register blocks of the console, as uncached addresses, with the
// number of their registers.
struct RegisterBlock {
    uint32_t base;
    uint32_t count;
};
constexpr RegisterBlock REGISTER_BLOCKS[] = {
    {0xA4040000, 8},  {0xA4080000, 2}, {0xA4100000, 8},  {0xA4200000, 4}, {0xA4300000, 4},
    {0xA4400000, 14}, {0xA4500000, 6}, {0xA4600000, 13}, {0xA4700000, 8}, {0xA4800000, 7},
};

class Generator {
  public:
    Generator(uint64_t seed, const GeneratorOptions& options)
        : r_(seed), extras_(seed ^ 0xD1B54A32D192ED03ull), complete_(options.completeMachine),
          accept_(options.accept) {}

    GeneratedProgram build() {
        prologue();
        out_.bodyStart = uint32_t(w_.size());
        // Roughly where the body ends, for jump targets.
        bodyWords_ = 200 + r_.below(1200);
        static constexpr uint32_t RARE_RATES[] = {0, 0, 0, 5, 20, 100}; // per 10000 items
        rareRate_ = RARE_RATES[r_.below(sizeof RARE_RATES / 4)];
        // Translated blocks are never invalidated, so a store into code that
        // has already been translated leaves the recompiler running the old
        // words while the interpreter reads the new ones. Programs that
        // modify their code therefore only run forwards: no loops, and every
        // store goes to code past a branch still to come, which neither core
        // has seen yet. Nothing may send them back either: no ERET but to a
        // place just loaded into EPC, no random words, and code stores only
        // overwrite plain arithmetic, never the words that set up an address.
        // The complete machine discards code whose words change, so its
        // programs loop and change code that has already run as they like.
        forwardOnly_ = !complete_ && r_.chance(50);
        inBody_ = true;
        while (w_.size() - out_.bodyStart < bodyWords_) {
            startItem();
            item();
        }
        out_.bodyEnd = uint32_t(w_.size());
        inBody_ = false;
        resolveTargets();
        epilogue();
        out_.words = std::move(w_);
        return std::move(out_);
    }

  private:
    uint32_t here() const { return PROGRAM_ENTRY + 4 * uint32_t(w_.size()); }
    void emit(uint32_t word) {
        if (inBody_ && accept_ && !accept_(word)) word = nop();
        w_.push_back(word);
    }
    void load32(uint32_t reg, uint32_t value) {
        emit(lui(reg, uint16_t(value >> 16)));
        emit(ori(reg, reg, uint16_t(value)));
    }
    // A register the body may use: not $zero, k0 or k1 (the handler's).
    uint32_t reg() {
        for (;;) {
            const uint32_t n = 1 + r_.below(31);
            if (n != K0 && n != K1) return n;
        }
    }
    // Any register as a source, $zero included.
    uint32_t src() { return r_.chance(10) ? 0 : reg(); }
    // Control flow goes to the start of an item (so that, say, a load's base
    // register is set up before it), mostly a few items ahead; loops, most of
    // which never end, come rarely. Targets are filled in once the body is
    // complete; one past the last item is the epilogue.
    enum class TargetForm { Branch, Jump, Pair, StoreAddress };
    struct Target {
        uint32_t word;
        TargetForm form;
        uint32_t item;
    };
    void startItem() {
        itemStarts_.push_back(uint32_t(w_.size()));
        plainItems_.push_back(false);
    }
    // The item being generated is plain arithmetic: one or two words that set
    // no address up, which a code store may overwrite.
    void plain() { plainItems_.back() = true; }
    // The words [first, end) of the run of plain items that starts at the
    // first plain item from `item` on whose run is at least `length` words
    // long; false when there is none.
    bool plainRun(uint32_t item, uint32_t length, uint32_t& first, uint32_t& end) const {
        while (item < itemStarts_.size()) {
            if (!plainItems_[item]) {
                ++item;
                continue;
            }
            uint32_t last = item;
            while (last + 1 < itemStarts_.size() && plainItems_[last + 1])
                ++last;
            first = itemStarts_[item];
            end = last + 1 < itemStarts_.size() ? itemStarts_[last + 1] : out_.bodyEnd;
            if (end - first >= length) return true;
            item = last + 1;
        }
        return false;
    }
    // Points a code store at a word of a run of plain items. A stored branch
    // gets its delay slot in the run and lands inside it or just past it.
    bool placeCodeStore(const Target& t) {
        const uint32_t value = t.word - 2; // lui/ori of the stored word, then of the address
        const uint32_t stored = (w_[value] << 16) | (w_[value + 1] & 0xFFFF);
        const uint32_t op = stored >> 26;
        const bool branch = op >= 0x04 && op <= 0x07;
        uint32_t first, end;
        if (!plainRun(t.item, branch ? 2 : 1, first, end)) return false;
        const uint32_t storeWord = t.word + 2;
        const uint32_t at =
            first + ((w_[storeWord] & 0xFFFF) / 4) % (end - first - (branch ? 1 : 0));
        w_[storeWord] &= 0xFFFF0000; // offset 0: the address is the word's own
        if (branch) {
            // Target at + 1 + offset, at most `end`.
            const uint32_t offset = 1 + ((stored & 0xFFFF) - 1) % (end - at - 1);
            w_[value + 1] = (w_[value + 1] & 0xFFFF0000) | offset;
        }
        const uint32_t address = PROGRAM_ENTRY + 4 * at;
        w_[t.word] = (w_[t.word] & 0xFFFF0000) | (address >> 16);
        w_[t.word + 1] = (w_[t.word + 1] & 0xFFFF0000) | (address & 0xFFFF);
        return true;
    }
    uint32_t targetItem() {
        const uint32_t current = uint32_t(itemStarts_.size()) - 1;
        if (forwardOnly_ || r_.below(1000) < 997) return current + 1 + r_.below(16);
        return r_.below(current + 1);
    }
    void branchTo(uint32_t word) {
        targets_.push_back({uint32_t(w_.size()), TargetForm::Branch, targetItem()});
        emit(word);
    }
    void jumpTo(uint32_t op) {
        targets_.push_back({uint32_t(w_.size()), TargetForm::Jump, targetItem()});
        emit(jtype(op, 0));
    }
    // lui/ori of a body address into a register.
    void loadTarget(uint32_t reg) {
        targets_.push_back({uint32_t(w_.size()), TargetForm::Pair, targetItem()});
        load32(reg, 0);
    }
    void resolveTargets() {
        for (const Target& t : targets_) {
            const uint32_t word = t.item < itemStarts_.size() ? itemStarts_[t.item] : out_.bodyEnd;
            const uint32_t address = PROGRAM_ENTRY + 4 * word;
            switch (t.form) {
            case TargetForm::Branch:
                w_[t.word] =
                    (w_[t.word] & 0xFFFF0000) | uint16_t(int32_t(word) - int32_t(t.word) - 1);
                break;
            case TargetForm::Jump:
                w_[t.word] = jtype(w_[t.word] >> 26, address);
                break;
            case TargetForm::StoreAddress:
                // Code stores stay in the body: the epilogue must run as it
                // is. One that finds no plain run before it goes to the data
                // area instead.
                if (!placeCodeStore(t)) {
                    w_[t.word] = (w_[t.word] & 0xFFFF0000) | ((REGISTER_DUMP + 0x800) >> 16);
                    w_[t.word + 1] =
                        (w_[t.word + 1] & 0xFFFF0000) | ((REGISTER_DUMP + 0x800) & 0xFFFF);
                    break;
                }
                break;
            case TargetForm::Pair:
                w_[t.word] = (w_[t.word] & 0xFFFF0000) | (address >> 16);
                w_[t.word + 1] = (w_[t.word + 1] & 0xFFFF0000) | (address & 0xFFFF);
                break;
            }
        }
    }

    void prologue() {
        // The handler at the general exception vector counts its entries and
        // returns. On the complete machine it also returns past an exception
        // raised by an instruction (past the branch and its delay slot when
        // Cause BD is set); an interrupt returns where it came.
        const uint32_t count[] = {lui(K0, uint16_t(HANDLER_COUNT >> 16)),
                                  lw(K1, int16_t(HANDLER_COUNT & 0xFFFF), K0), addiu(K1, K1, 1),
                                  sw(K1, int16_t(HANDLER_COUNT & 0xFFFF), K0)};
        std::vector<uint32_t> handler(std::begin(count), std::end(count));
        if (complete_) {
            // Branch offsets count from the delay slot.
            const uint32_t pastException[] = {
                mfc0(K0, 13),     andi(K1, K0, 0x7C),    itype(0x04, K1, 0, 5), // beq k1, 0, eret
                mfc0(K1, 14),     itype(0x01, K0, 1, 2),                        // bgez k0, mtc0
                addiu(K1, K1, 4), addiu(K1, K1, 4),      mtc0(K1, 14)};
            handler.insert(handler.end(), std::begin(pastException), std::end(pastException));
        }
        handler.push_back(ERET);
        handler.push_back(nop());
        emit(lui(K1, 0x8000));
        for (uint32_t i = 0; i < handler.size(); ++i) {
            load32(K0, handler[i]);
            emit(sw(K0, int16_t(0x180 + 4 * i), K1));
        }
        // Half the programs take the VI, timer and other device interrupts.
        if (r_.chance(50)) {
            load32(K0, 0xAAA); // set every MI mask bit
            emit(lui(K1, 0xA430));
            emit(sw(K0, 0x0C, K1));
            emit(mfc0(K0, 12));
            emit(ori(K0, K0, STATUS_INTERRUPTS));
            emit(mtc0(K0, 12));
        }
        for (uint32_t n = 1; n < 32; ++n) {
            if (n == K0 || n == K1) continue;
            randomValue(n);
        }
        for (uint32_t f = 0; f < 32; ++f)
            emit(mtc1(reg(), f));
    }

    // A random value in register n: a word, a small number, a float's bits or
    // a full doubleword.
    void randomValue(uint32_t n) {
        switch (r_.below(5)) {
        case 0:
            emit(addiu(n, 0, int16_t(r_.word())));
            break;
        case 1:
            load32(n, (0x3C00u + r_.below(0x900)) << 20 | (r_.word() & 0xFFFFF));
            break;
        case 2:
            load32(n, r_.word());
            emit(dsll32(n, n, 0));
            emit(ori(n, n, uint16_t(r_.word())));
            break;
        default:
            load32(n, r_.word());
            break;
        }
    }

    void epilogue() {
        // A Compare behind Count would keep the idle loop from ever reaching a
        // vertical interrupt; 0 lets it skip to each one.
        emit(mtc0(0, 11));
        emit(lui(K1, uint16_t(REGISTER_DUMP >> 16)));
        for (uint32_t n = 0; n < 32; ++n)
            emit(sd(n, int16_t(8 * n), K1));
        emit(mfhi(K0));
        emit(sd(K0, 256, K1));
        emit(mflo(K0));
        emit(sd(K0, 264, K1));
        for (uint32_t f = 0; f < 32; ++f)
            emit(swc1(f, int16_t(272 + 4 * f), K1));
        emit(cfc1(K0, 31));
        emit(sw(K0, 400, K1));
        const uint32_t idle = here();
        emit(j(idle));
        emit(nop());
    }

    static constexpr uint32_t mtc1(uint32_t rt, uint32_t fs) {
        return (COP1 << 26) | (4u << 21) | ((rt & 31) << 16) | ((fs & 31) << 11);
    }
    static constexpr uint32_t cfc1(uint32_t rt, uint32_t fs) {
        return (COP1 << 26) | (2u << 21) | ((rt & 31) << 16) | ((fs & 31) << 11);
    }

    void item() {
        // Words that end the run (instructions the cores report as missing,
        // random words) come at a rate chosen per program, so that many
        // programs run to their end.
        if (r_.below(10000) < rareRate_) {
            switch (forwardOnly_ ? 2 + r_.below(3) : r_.below(5)) {
            case 0:
                return emit(r_.word());
            case 1:
                return emit(validLooking());
            case 2:
                return emit(r_.chance(50) ? 0x0000000C : 0x0000000D); // SYSCALL, BREAK
            default:
                return emit(unimplemented());
            }
        }
        if (complete_ && r_.chance(30)) return completeItem();
        const uint32_t roll = r_.below(1000);
        if (roll < 300) return plain(), alu();
        if (roll < 420) return plain(), immediate();
        if (roll < 600) return memory();
        if (roll < 720) return branch();
        if (roll < 760) return jump();
        if (roll < 800) return plain(), multiplyDivide();
        if (roll < 870) return fpu();
        if (roll < 920) return cop0();
        if (roll < 960) return selfModifyingStore();
        if (roll < 980) return emit(reserved());
        emit(roll & 1 ? 0x0000000F : itype(0x2F, src(), r_.below(32), r_.word())); // SYNC, CACHE
    }

    // Encodings without an instruction, which both cores pass over.
    uint32_t reserved() {
        static constexpr uint8_t OPS[] = {0x12, 0x13, 0x1C, 0x1D, 0x1E,
                                          0x1F, 0x32, 0x33, 0x3A, 0x3B};
        static constexpr uint8_t FUNCTS[] = {0x01, 0x05, 0x0A, 0x0B, 0x0C, 0x0E, 0x15, 0x28, 0x29};
        if (r_.chance(50))
            return (uint32_t(OPS[r_.below(sizeof OPS)]) << 26) | (r_.word() & 0x03FFFFFF);
        return (r_.word() & 0x03FFFFC0) | FUNCTS[r_.below(sizeof FUNCTS)];
    }

    // Instructions of the VR4300 that the cores report as missing and halt on
    // (64-bit arithmetic, the linked and doubleword-unaligned forms, traps,
    // the other COP0 and FPU forms).
    uint32_t unimplemented() {
        static constexpr uint8_t OPS[] = {0x18, 0x19, 0x1A, 0x1B, 0x27, 0x2C, 0x2D,
                                          0x30, 0x34, 0x36, 0x38, 0x3C, 0x3E};
        static constexpr uint8_t FUNCTS[] = {0x0D, 0x14, 0x16, 0x17, 0x1C, 0x1E, 0x2C,
                                             0x2D, 0x2E, 0x2F, 0x30, 0x34, 0x3B};
        static constexpr uint8_t FPU[] = {0x08, 0x09, 0x0A, 0x0B, 0x0C,
                                          0x0E, 0x0F, 0x25, 0x30, 0x3F};
        const uint32_t fields = r_.word() & 0x03FFFFFF;
        switch (r_.below(6)) {
        case 0:
        case 1:
            return (uint32_t(OPS[r_.below(sizeof OPS)]) << 26) | fields;
        case 2:
        case 3:
            return (fields & ~0x3Fu) | FUNCTS[r_.below(sizeof FUNCTS)];
        case 4:
            return (COP1 << 26) | ((r_.chance(50) ? 16u : 17u) << 21) | (fields & 0x1FFFC0) |
                   FPU[r_.below(sizeof FPU)];
        default:
            // TLBWR, or a COP0 move other than MFC0/MTC0 (DMFC0, CFC0,
            // DMTC0, CTC0 and reserved forms).
            static constexpr uint8_t MOVES[] = {1, 2, 3, 5, 6, 7};
            return r_.chance(50) ? cop0Function(0x06)
                                 : cop0Move(MOVES[r_.below(sizeof MOVES)], reg(), r_.below(32));
        }
    }

    void alu() {
        // SPECIAL functions with three registers or a shift amount, 32- and
        // 64-bit.
        static constexpr uint8_t FUNCTS[] = {0x00, 0x02, 0x03, 0x04, 0x06, 0x07, 0x20,
                                             0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
                                             0x2A, 0x2B, 0x38, 0x3A, 0x3C, 0x3E, 0x3F};
        const uint32_t funct = FUNCTS[r_.below(sizeof FUNCTS)];
        emit(rtype(src(), src(), reg(), r_.below(32), funct));
    }

    void immediate() {
        // ADDI, ADDIU, SLTI, SLTIU, ANDI, ORI, XORI, LUI
        static constexpr uint8_t OPS[] = {0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
        emit(itype(OPS[r_.below(sizeof OPS)], src(), reg(), r_.word()));
    }

    void multiplyDivide() {
        // MULT, MULTU, DIV, DIVU, DMULTU, DDIVU, then often a move from HI or
        // LO; MTHI/MTLO.
        static constexpr uint8_t FUNCTS[] = {0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1F};
        const uint32_t roll = r_.below(10);
        if (roll < 8) {
            emit(rtype(src(), src(), 0, 0, FUNCTS[r_.below(sizeof FUNCTS)]));
            if (r_.chance(70)) emit(r_.chance(50) ? mfhi(reg()) : mflo(reg()));
        } else {
            emit(roll == 8 ? mthi(src()) : mtlo(src()));
        }
    }

    // An address for a load or store: RDRAM (mostly a data area), device
    // registers, PIF RAM, the cartridge or anywhere.
    uint32_t address(uint32_t size) {
        uint32_t a;
        const uint32_t roll = r_.below(1000);
        if (roll < 420) {
            a = 0x80100000 + r_.below(0x100000);
        } else if (roll < 520) {
            a = 0xA0000000 + r_.below(0x800000);
        } else if (roll < 600) {
            a = 0x80000000 + r_.below(0x800000);
        } else if (roll < 760) {
            if (r_.chance(70)) {
                const RegisterBlock& b = REGISTER_BLOCKS[r_.below(std::size(REGISTER_BLOCKS))];
                a = b.base + 4 * r_.below(b.count);
            } else {
                a = 0xA4000000 + r_.below(0x900000);
            }
        } else if (roll < 840) {
            a = 0xBFC007C0 + r_.below(64); // PIF RAM
        } else if (roll < 920) {
            // The image: its header, boot code and program.
            a = 0xB0000000 + r_.below(0x1000 + 4 * bodyWords_);
        } else if (roll < 990) {
            a = 0x80000000 + r_.below(0x1000); // low memory, the handler included
        } else if (roll < 995) {
            // Places where an access ends the run: past the image, the PIF's
            // boot ROM, unmapped addresses.
            a = r_.chance(50) ? 0xB0000000 + r_.below(0x4000000) : 0xBFC00000 + r_.below(0x800);
        } else {
            a = r_.word();
        }
        if (r_.chance(97)) a &= ~(size - 1);
        return a;
    }

    void memory() {
        struct Op {
            uint8_t opcode, size;
        };
        // Loads and stores of the CPU and the FPU: bytes to doublewords and
        // the unaligned word pairs.
        static constexpr Op OPS[] = {{0x20, 1}, {0x24, 1}, {0x21, 2}, {0x25, 2}, {0x23, 4},
                                     {0x37, 8}, {0x22, 4}, {0x26, 4}, {0x31, 4}, {0x35, 8},
                                     {0x28, 1}, {0x29, 2}, {0x2B, 4}, {0x3F, 8}, {0x2A, 4},
                                     {0x2E, 4}, {0x39, 4}, {0x3D, 8}};
        const Op op = OPS[r_.below(sizeof OPS / sizeof OPS[0])];
        const uint32_t base = reg();
        const uint32_t a = address(op.size);
        const int16_t offset =
            int16_t(r_.chance(50) ? 0 : int16_t(r_.below(64) * op.size) - 32 * int(op.size));
        const uint32_t baseValue = a - uint32_t(int32_t(offset));
        load32(base, baseValue);
        uint32_t rt = reg();
        if (rt == base && r_.chance(50)) rt = src();
        const bool fpuStore = op.opcode == 0x39 || op.opcode == 0x3D;
        bool sp = true;
        const bool store = (op.opcode >= 0x28 && op.opcode <= 0x2F) || op.opcode == 0x39 ||
                           op.opcode == 0x3D || op.opcode == 0x3F;
        if (store && writesDmaLength(a, op.size, sp))
            rt = dmaLengthInto(op.opcode, a, base, offset, rt, fpuStore, sp);
        emit(itype(op.opcode, base, rt, uint16_t(offset)));
    }

    // Before a store to a DMA length register (at `address`, `offset` from
    // `base`), sets the transfer up as a program would: the device's RDRAM
    // address in the data area, and a length of at most 64 KiB in the stored
    // register. A random word would ask for hundreds of megabytes, and the
    // RDRAM address a reset leaves (0) would put the image's header over the
    // interrupt handler and its program over code that has run. Draws from
    // its own sequence, so that programs without such a store stay as they
    // were. Returns the register to store.
    uint32_t dmaLengthInto(uint32_t opcode, uint32_t address, uint32_t base, int16_t offset,
                           uint32_t rt, bool fpuStore, bool sp) {
        const uint32_t first = plausibleDmaLength(extras_.next(), sp);
        const uint32_t second = plausibleDmaLength(extras_.next(), sp);
        const uint64_t value = storeValueFor(opcode, address, first, second);
        uint32_t g = fpuStore ? 0 : rt;
        if (g == 0 || g == base) {
            do
                g = 1 + extras_.below(31);
            while (g == base || g == K0 || g == K1);
        }
        // SP_DRAM_ADDR follows SP_MEM_ADDR; PI_DRAM_ADDR comes first.
        loadValue(g, 0x00100000 + 8 * extras_.below(0x10000));
        emit(sw(g, int16_t(offset - int32_t(address & 0xF) + (sp ? 4 : 0)), base));
        if (!fpuStore && rt == 0) return 0; // stores zeros: the register keeps a small length
        if (!fpuStore) {
            loadValue(g, value);
        } else if (opcode == 0x39) { // SWC1
            loadValue(g, value);
            emit(mtc1(g, rt));
        } else if (complete_) { // SDC1 of a 64-bit register
            loadValue(g, value);
            emit((COP1 << 26) | (5u << 21) | (g << 16) | (rt << 11)); // DMTC1
        } else { // SDC1 of a pair: rt + 1 to the first word, rt to the second
            if (rt < 31) {
                loadValue(g, first);
                emit(mtc1(g, rt + 1));
            }
            loadValue(g, second);
            emit(mtc1(g, rt));
        }
        return fpuStore ? rt : g;
    }

    // A value of at most 32 bits, or two halves of at most 16 bits each.
    void loadValue(uint32_t n, uint64_t value) {
        if (value <= 0xFFFF) return emit(ori(n, 0, uint16_t(value)));
        if (value <= 0xFFFFFFFF) return load32(n, uint32_t(value));
        emit(ori(n, 0, uint16_t(value >> 32)));
        emit(dsll32(n, n, 0));
        emit(ori(n, n, uint16_t(value)));
    }

    // A store of a valid instruction word into the program's own code,
    // a few items past the branch that follows it.
    void selfModifyingStore() {
        if (!forwardOnly_) return alu();
        const uint32_t value = reg();
        uint32_t base = reg();
        while (base == value)
            base = reg();
        load32(value, storedInstruction());
        // The start of an item at least two ahead (or a word of it).
        targets_.push_back({uint32_t(w_.size()), TargetForm::StoreAddress,
                            uint32_t(itemStarts_.size()) + 1 + r_.below(12)});
        load32(base, 0);
        emit(sw(value, int16_t(4 * r_.below(3)), base));
        startItem();
        branch();
    }

    void branch() {
        const uint32_t roll = r_.below(12);
        uint32_t word;
        if (roll < 8) {
            // BEQ, BNE, BLEZ, BGTZ and their likely forms.
            static constexpr uint8_t OPS[] = {0x04, 0x05, 0x06, 0x07, 0x14, 0x15, 0x16, 0x17};
            const uint32_t op = OPS[roll];
            const bool twoRegisters = (op & 3) < 2;
            word = itype(op, src(), twoRegisters ? src() : 0, 0);
        } else if (roll < 11) {
            // REGIMM: BLTZ, BGEZ, BLTZL, BGEZL, BGEZAL
            static constexpr uint8_t SUBS[] = {0x00, 0x01, 0x02, 0x03, 0x11};
            word = itype(0x01, src(), SUBS[r_.below(sizeof SUBS)], 0);
        } else {
            // BC1F, BC1T, BC1FL, BC1TL after a compare.
            fpuCompare();
            word = (COP1 << 26) | (8u << 21) | (r_.below(4) << 16);
        }
        branchTo(word);
        delaySlot();
    }

    void delaySlot() {
        const uint32_t roll = r_.below(10);
        if (roll < 5)
            alu();
        else if (roll < 7)
            emit(nop());
        else if (roll < 9)
            immediate();
        else
            emit(reserved());
    }

    void jump() {
        const uint32_t roll = r_.below(4);
        if (roll < 2) {
            jumpTo(roll ? 0x03 : 0x02);
        } else {
            const uint32_t target = reg();
            if (forwardOnly_ || r_.chance(98))
                loadTarget(target);
            else
                load32(target, r_.word());
            emit(roll == 2 ? jr(target) : jalr(r_.chance(80) ? 31 : reg(), target));
        }
        delaySlot();
    }

    // C.EQ, C.LT, C.LE (the conditions the cores carry out).
    void fpuCompare() {
        static constexpr uint8_t CONDITIONS[] = {0x32, 0x3C, 0x3E};
        const uint32_t fmt = r_.chance(50) ? 16 : 17;
        emit((COP1 << 26) | (fmt << 21) | (r_.below(32) << 16) | (r_.below(32) << 11) |
             CONDITIONS[r_.below(3)]);
    }

    void fpu() {
        const uint32_t roll = r_.below(20);
        if (roll < 12) {
            // S and D arithmetic, TRUNC.W and the conversions; W and L
            // arithmetic, which does nothing. SQRT.D and CVT from L end the
            // run, so they come rarely.
            static constexpr uint8_t FMTS[] = {16, 16, 16, 17, 17, 17, 20, 21};
            static constexpr uint8_t FUNCTS[] = {0, 1, 2, 3, 4, 5, 6, 7, 13, 32, 33, 36};
            uint32_t fmt = FMTS[r_.below(sizeof FMTS)];
            const uint32_t funct = FUNCTS[r_.below(sizeof FUNCTS)];
            if (fmt == 21 && (funct == 32 || funct == 33) && !r_.chance(5)) fmt = 20;
            if (fmt == 17 && funct == 4 && !r_.chance(5)) fmt = 16;
            emit((COP1 << 26) | (fmt << 21) | (r_.below(32) << 16) | (r_.below(32) << 11) |
                 (r_.below(32) << 6) | funct);
        } else if (roll < 14) {
            fpuCompare();
        } else {
            // MFC1, CFC1, MTC1, CTC1
            static constexpr uint8_t SUBS[] = {0, 2, 4, 6};
            const uint32_t sub = SUBS[r_.below(4)];
            const uint32_t rt = sub < 4 ? reg() : src();
            const uint32_t fs = (sub & 3) == 2 ? (r_.chance(80) ? 31 : r_.below(32)) : r_.below(32);
            emit((COP1 << 26) | (sub << 21) | (rt << 16) | (fs << 11));
        }
    }

    void cop0() {
        const uint32_t roll = r_.below(20);
        if (roll < 6) {
            emit(mfc0(reg(), r_.below(32)));
        } else if (roll < 11) {
            // Moves into COP0 registers; Count moves only a little, so that the
            // next vertical interrupt stays near.
            static constexpr uint8_t REGS[] = {0,  2,  3,  4,  5,  6,  8,  10, 11,
                                               12, 13, 14, 16, 17, 28, 29, 30};
            const uint32_t rd = r_.chance(5) ? 9 : REGS[r_.below(sizeof REGS)];
            const uint32_t rt = reg();
            if (rd == 9) {
                emit(mfc0(rt, 9));
                emit(addiu(rt, rt, int16_t(r_.below(4096))));
            } else if (rd == 12) {
                // Status: coprocessors usable, no bootstrap vectors, mostly.
                load32(rt, (r_.word() & ~0x00400000u) | (r_.chance(90) ? 0x34000000u : 0));
            } else if (rd == 0) {
                emit(addiu(rt, 0, int16_t(r_.below(r_.chance(90) ? 32 : 0x8000))));
            } else if (rd == 14 || rd == 30) {
                loadTarget(rt);
            }
            emit(mtc0(rt, rd));
        } else if (roll < 16) {
            // TLBR, TLBWI, TLBP
            static constexpr uint8_t FUNCTS[] = {0x01, 0x02, 0x08};
            emit(cop0Function(FUNCTS[r_.below(3)]));
        } else if (roll < 18) {
            // ERET, mostly to a place in the body (EPC, or ErrorEPC when a
            // random Status has set ERL).
            const uint32_t rt = reg();
            if (forwardOnly_ || r_.chance(98)) {
                loadTarget(rt);
                emit(mtc0(rt, 14));
                emit(mtc0(rt, 30));
            }
            emit(ERET);
        } else {
            uint32_t function = r_.below(64);
            if (forwardOnly_ && function == 0x18) function = 0x08; // no ERET to an old EPC
            emit(r_.chance(50) ? mfc0(reg(), r_.below(32)) : cop0Function(function));
        }
    }

    // An instruction word the cores carry out, to be stored into code.
    uint32_t storedInstruction() {
        const size_t at = w_.size();
        switch (r_.below(4)) {
        case 0:
            alu();
            break;
        case 1:
            immediate();
            break;
        case 2:
            fpu();
            break;
        default:
            emit(itype(0x04 + r_.below(4), src(), 0, uint16_t(1 + r_.below(8)))); // a branch
            break;
        }
        // Only the last word: moves to FPU registers may come with set-up words.
        const uint32_t word = w_.back();
        w_.resize(at);
        return word;
    }

    // A word with a real opcode and random fields.
    uint32_t validLooking() {
        static constexpr uint8_t OPS[] = {
            0x00, 0x01, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x18,
            0x19, 0x1A, 0x1B, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29,
            0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x31, 0x35, 0x37, 0x39, 0x3D, 0x3F};
        return (uint32_t(OPS[r_.below(sizeof OPS)]) << 26) | (r_.word() & 0x03FFFFFF);
    }

    // --- The complete machine's items. ---

    void completeItem() {
        switch (r_.below(9)) {
        case 0:
        case 1:
            return doublewordArithmetic();
        case 2:
        case 3:
            return doublewordMemory();
        case 4:
        case 5:
            return completeFpu();
        case 6:
            return exceptionItem();
        case 7: {
            const uint32_t skip = onceARun();
            changeCodeInLoop(r_.chance(50));
            return endOnceARun(skip);
        }
        default: {
            const uint32_t skip = onceARun();
            if (r_.chance(30))
                dmaOverCode();
            else
                changeCodeInLoop(r_.chance(50));
            return endOnceARun(skip);
        }
        }
    }

    // Code changes and Status.FR flips run once a run: a program that comes
    // back to one (a loop that never ends, an exception that returns to an
    // old EPC) would otherwise make the recompiler translate its code anew
    // on every pass, thousands of times a frame. A flag word per item in the
    // data area past the register dump says whether it has run. Returns the
    // index of the branch past the item.
    uint32_t onceARun() {
        const uint32_t flag = ONCE_FLAGS + 4 * (onceItems_++ % 256);
        uint32_t g = 1 + extras_.below(31);
        while (g == K0 || g == K1)
            g = 1 + extras_.below(31);
        emit(lui(g, uint16_t(flag >> 16)));
        emit(lw(g, int16_t(flag & 0xFFFF), g));
        const uint32_t skip = uint32_t(w_.size());
        emit(itype(0x05, g, 0, 0)); // bne g, $zero: past the item
        emit(nop());
        emit(lui(g, uint16_t(flag >> 16)));
        emit(sw(g, int16_t(flag & 0xFFFF), g)); // any nonzero word
        return skip;
    }
    void endOnceARun(uint32_t skip) { w_[skip] |= uint16_t(w_.size() - skip - 1); }

    // DSLLV, DSRLV, DSRAV, DADD, DADDU, DSUB, DSUBU, DSRA, DADDI, DADDIU,
    // DMULT, DDIV.
    void doublewordArithmetic() {
        static constexpr uint8_t FUNCTS[] = {0x14, 0x16, 0x17, 0x2C, 0x2D, 0x2E, 0x2F, 0x3B};
        switch (r_.below(4)) {
        case 0:
        case 1:
            return emit(rtype(src(), src(), reg(), r_.below(32), FUNCTS[r_.below(sizeof FUNCTS)]));
        case 2:
            return emit(itype(r_.chance(50) ? 0x18 : 0x19, src(), reg(), r_.word()));
        default:
            emit(rtype(src(), src(), 0, 0, r_.chance(50) ? 0x1C : 0x1E));
            if (r_.chance(70)) emit(r_.chance(50) ? mfhi(reg()) : mflo(reg()));
        }
    }

    // LWU, LD, SD at any alignment the cores accept, the unaligned
    // doubleword pairs LDL/LDR and SDL/SDR, and LL/SC, LLD/SCD.
    void doublewordMemory() {
        struct Op {
            uint8_t opcode, size;
        };
        static constexpr Op OPS[] = {{0x27, 4}, {0x37, 8}, {0x3F, 8}, {0x1A, 1},
                                     {0x1B, 1}, {0x2C, 1}, {0x2D, 1}, {0x30, 4},
                                     {0x38, 4}, {0x34, 8}, {0x3C, 8}};
        const Op op = OPS[r_.below(sizeof OPS / sizeof OPS[0])];
        const uint32_t base = reg();
        load32(base, 0x80100000 + r_.below(0x100000) / op.size * op.size);
        const uint32_t rt = reg() == base ? src() : reg();
        const int16_t offset = int16_t(int32_t(r_.below(64)) - 32) * int16_t(op.size);
        emit(itype(op.opcode, base, rt, uint16_t(offset)));
        // An ERET between LL and SC makes the SC fail.
        if ((op.opcode == 0x30 || op.opcode == 0x34) && r_.chance(70))
            emit(itype(op.opcode + 8, base, reg(), uint16_t(offset)));
    }

    // Every FPU function in every format, the sixteen conditions, the
    // rounding modes and the flags of FCR31, and Status.FR.
    void completeFpu() {
        static constexpr uint8_t FMTS[] = {16, 17, 20, 21};
        const uint32_t roll = r_.below(10);
        if (roll < 6) {
            const uint32_t funct = r_.chance(25) ? 0x30 + r_.below(16) : r_.below(0x30);
            emit((COP1 << 26) | (uint32_t(FMTS[r_.below(4)]) << 21) | (r_.below(32) << 16) |
                 (r_.below(32) << 11) | (r_.below(32) << 6) | funct);
        } else if (roll < 8) {
            // CTC1: a rounding mode, sometimes flags and enables as well.
            const uint32_t value = reg();
            load32(value, r_.below(4) | (r_.chance(20) ? (r_.word() & 0x0003F07C) : 0) |
                              (r_.chance(50) ? 0x00800000u : 0));
            emit((COP1 << 26) | (6u << 21) | (value << 16) | (31u << 11));
        } else if (roll < 9) {
            emit((COP1 << 26) | (2u << 21) | (reg() << 16) | (31u << 11)); // CFC1
        } else {
            // Status.FR flips, once a run (every block is translated anew
            // after a flip); the rest of Status stays as it is.
            const uint32_t skip = onceARun();
            const uint32_t t = reg();
            emit(mfc0(t, 12));
            const uint32_t mask = reg() == t ? src() : reg();
            load32(mask, 0x04000000);
            emit(rtype(t, mask, t, 0, 0x26)); // xor
            emit(mtc0(t, 12));
            endOnceARun(skip);
        }
    }

    // SYSCALL, BREAK, the traps (often on equal operands) and the sums that
    // trap on overflow; the handler returns past each.
    void exceptionItem() {
        static constexpr uint8_t TRAPS[] = {0x30, 0x31, 0x32, 0x33, 0x34, 0x36};
        static constexpr uint8_t TRAP_IMMEDIATES[] = {8, 9, 10, 11, 12, 14};
        const uint32_t s = src(), t = r_.chance(50) ? s : src();
        switch (r_.below(5)) {
        case 0:
            return emit(r_.chance(50) ? 0x0000000C : 0x0000000D);
        case 1:
            return emit(rtype(s, t, 0, r_.below(32), TRAPS[r_.below(sizeof TRAPS)]));
        case 2:
            return emit(itype(0x01, s, TRAP_IMMEDIATES[r_.below(sizeof TRAP_IMMEDIATES)],
                              r_.chance(50) ? r_.below(16) : r_.word()));
        case 3: {
            // An overflow near for certain: 0x7FFFFFFF and a positive step.
            const uint32_t big = reg();
            load32(big, 0x7FFFFFF0 + r_.below(16));
            emit(itype(0x08, big, reg(), 1 + r_.below(64)));
            return;
        }
        default:
            static constexpr uint8_t SUMS[] = {0x20, 0x22, 0x2C, 0x2E};
            return emit(rtype(s, t, reg(), 0, SUMS[r_.below(sizeof SUMS)]));
        }
    }

    // Code changed after it ran, in a loop that runs twice: its first pass
    // runs a word and then overwrites it (by a store, or by a PI DMA of the
    // word before it from the image), the second pass runs the new word.
    void changeCodeInLoop(bool byDma) {
        const uint32_t counter = reg();
        emit(addiu(counter, 0, 2));
        const uint32_t top = uint32_t(w_.size());
        emit(loopSafeInstruction(counter));
        const uint32_t changed = uint32_t(w_.size());
        emit(loopSafeInstruction(counter));
        uint32_t a = reg(), b = reg();
        while (a == counter)
            a = reg();
        while (b == counter || b == a)
            b = reg();
        if (byDma) {
            load32(a, 0xA4600000);
            load32(b, (PROGRAM_ENTRY + 4 * changed) & 0x1FFFFFFF);
            emit(sw(b, 0, a));
            load32(b, 0x10001000 + 4 * top);
            emit(sw(b, 4, a));
            emit(addiu(b, 0, 3));
            emit(sw(b, 12, a));
        } else {
            load32(a, loopSafeInstruction(counter));
            load32(b, PROGRAM_ENTRY + 4 * changed);
            emit(sw(a, 0, b));
        }
        emit(addiu(counter, counter, -1));
        emit(itype(0x07, counter, 0, uint16_t(int32_t(top) - int32_t(w_.size()) - 1))); // bgtz
        emit(nop());
    }

    // An instruction for such a loop: no branch, and no field names the
    // loop's counter.
    uint32_t loopSafeInstruction(uint32_t counter) {
        for (;;) {
            const uint32_t word = storedInstruction();
            const uint32_t op = word >> 26;
            if (op >= 0x04 && op <= 0x07) continue;
            if (((word >> 16) & 31) == counter || ((word >> 11) & 31) == counter) continue;
            return word;
        }
    }

    // A PI DMA from the image puts the program's own words back over code
    // that has already run (and may have been changed by stores). The item
    // drawn may be this one, which has no words yet: then the DMA copies its
    // first word over itself (a length of 0 words would be 4 GiB).
    void dmaOverCode() {
        const uint32_t from = itemStarts_[r_.below(uint32_t(itemStarts_.size()))];
        const uint32_t words =
            std::min<uint32_t>(1 + r_.below(32), std::max(1u, uint32_t(w_.size()) - from));
        const uint32_t pi = reg();
        uint32_t value = reg();
        while (value == pi)
            value = reg();
        load32(pi, 0xA4600000);
        load32(value, (PROGRAM_ENTRY + 4 * from) & 0x1FFFFFFF);
        emit(sw(value, 0, pi));
        load32(value, 0x10001000 + 4 * from);
        emit(sw(value, 4, pi));
        load32(value, 4 * words - 1);
        emit(sw(value, 12, pi));
    }

    Random r_;
    // Draws for what was added to the programs after their first version (DMA
    // set-ups, guards), so that a program without it stays as it was.
    Random extras_;
    bool complete_ = false;
    bool (*accept_)(uint32_t) = nullptr;
    bool inBody_ = false;
    std::vector<uint32_t> w_;
    GeneratedProgram out_;
    uint32_t bodyWords_ = 0;
    uint32_t rareRate_ = 0;
    bool forwardOnly_ = false;
    uint32_t onceItems_ = 0; // code changes guarded so far
    std::vector<uint32_t> itemStarts_;
    std::vector<bool> plainItems_;
    std::vector<Target> targets_;
};

} // namespace

GeneratedProgram generateProgram(uint64_t seed, const GeneratorOptions& options) {
    return Generator(seed, options).build();
}

} // namespace campaign
