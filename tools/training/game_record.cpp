#include "training/game_record.h"

#include <cstring>

namespace velmor::training {
namespace {

constexpr char kMagic[4] = {'V', 'M', 'G', 'R'};
constexpr uint32_t kVersion = 1;
constexpr uint16_t kKeptBit = 0x8000;

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

bool GameWriter::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "ab");
    if (!file_) return false;
    std::fseek(file_, 0, SEEK_END);
    if (std::ftell(file_) == 0) {
        uint8_t header[8];
        std::memcpy(header, kMagic, 4);
        for (int i = 0; i < 4; ++i) header[4 + i] = uint8_t(kVersion >> (8 * i));
        if (std::fwrite(header, 1, 8, file_) != 8) return false;
    }
    return true;
}

bool GameWriter::write(const GameRecord& game) {
    if (!file_ || game.moves.size() > 0xFFFF || game.kept.size() != game.moves.size() ||
        game.values.size() != game.moves.size())
        return false;
    std::vector<uint8_t> out;
    out.reserve(8 + 4 * game.moves.size());
    out.push_back(uint8_t(game.rule));
    out.push_back(uint8_t(game.size));
    out.push_back(uint8_t(game.result));
    out.push_back(uint8_t(game.openingStones));
    put16(out, uint16_t(game.moves.size()));
    put16(out, 0);
    for (size_t i = 0; i < game.moves.size(); ++i)
        put16(out, uint16_t(game.moves[i].index() | (game.kept[i] ? kKeptBit : 0)));
    for (int16_t v : game.values) put16(out, uint16_t(v));
    // One write per game and a flush, so a process stopped between games
    // leaves only whole records behind.
    return std::fwrite(out.data(), 1, out.size(), file_) == out.size() && std::fflush(file_) == 0;
}

bool GameWriter::close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

bool readGames(const std::string& path, std::vector<GameRecord>& out, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[1 << 16];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kMagic, 4) != 0 ||
        (bytes[4] | bytes[5] << 8 | bytes[6] << 16 | uint32_t(bytes[7]) << 24) != kVersion) {
        error = path + ": not a game file of version 1";
        return false;
    }
    size_t at = 8;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8) break;
        const uint8_t* h = bytes.data() + at;
        const size_t count = get16(h + 4);
        if (bytes.size() - at - 8 < 4 * count) break;
        if (h[0] > Renju || (h[1] != 15 && h[1] != 20) || h[2] > 2) {
            error = path + ": bad record header at byte " + std::to_string(at);
            return false;
        }
        GameRecord g;
        g.rule = GameRule(h[0]);
        g.size = h[1];
        g.result = Result(h[2]);
        g.openingStones = h[3];
        const uint8_t* m = h + 8;
        const uint8_t* v = m + 2 * count;
        for (size_t i = 0; i < count; ++i) {
            const uint16_t code = get16(m + 2 * i);
            const int point = code & ~kKeptBit;
            g.moves.push_back(Pos(point / 20, point % 20));
            g.kept.push_back(code & kKeptBit);
            g.values.push_back(int16_t(get16(v + 2 * i)));
        }
        out.push_back(std::move(g));
        at += 8 + 4 * count;
    }
    if (at != bytes.size()) {
        error = path + ": record cut short at byte " + std::to_string(at);
        return false;
    }
    return true;
}

}  // namespace velmor::training
