#include "training/weights_source.h"

#include <sstream>

namespace velmor::training {
namespace {

constexpr const char* kSetNames[kEvalRuleSets] = {"free-style", "exact five", "renju, black", "renju, white"};
constexpr const char* kFirstLine = "// Learned evaluation tables, written by tools/tune: do not edit.";
constexpr int kPerLine = 20;

void writeTable(std::ostringstream& out, const int16_t* values, const char* name) {
    out << "     // " << name << "\n     {";
    for (int i = 0; i < kEvalEntries; ++i) {
        if (i > 0) out << (i % kPerLine == 0 ? ",\n      " : ", ");
        out << values[i];
    }
    out << "}";
}

}  // namespace

std::string formatWeightsSource(const EvalWeights* sets, const std::vector<std::string>& header) {
    std::ostringstream out;
    out << kFirstLine << "\n";
    for (const std::string& line : header) out << "//" << (line.empty() ? "" : " ") << line << "\n";
    out << "#include \"board/eval_weights.h\"\n\nnamespace velmor {\n\n// clang-format off\n"
        << "const EvalWeights kEvalWeights[kEvalRuleSets] = {\n";
    for (int s = 0; s < kEvalRuleSets; ++s) {
        out << "    // " << kSetNames[s] << "\n    {{" << sets[s].tempo[0] << ", " << sets[s].tempo[1] << "},\n";
        writeTable(out, sets[s].toMove, "side to move");
        out << ",\n";
        writeTable(out, sets[s].waiting, "side that moved last");
        out << "},\n";
    }
    out << "};\n// clang-format on\n\n}  // namespace velmor\n";
    return out.str();
}

std::vector<std::string> headerOf(const std::string& source) {
    std::vector<std::string> lines;
    std::istringstream in(source);
    std::string line;
    std::getline(in, line);  // kFirstLine
    while (std::getline(in, line) && line.rfind("//", 0) == 0)
        lines.push_back(line.size() > 3 ? line.substr(3) : "");
    return lines;
}

}  // namespace velmor::training
