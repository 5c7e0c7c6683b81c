#include "shared/veskotools.h"

#include <cstdint>

#include "platform/core/Exceptions.h"

std::string ScrambleAlphabet;

void BuildScrambleTable(TScrambleTable& table)
{
    ScrambleAlphabet.clear();
    for (int v = 0; v < 256; ++v) {
        ScrambleAlphabet += static_cast<char>(v);
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = ScrambleAlphabet.substr(i) + ScrambleAlphabet.substr(0, i);
    }
}

namespace {

// Row k of the table at position t + 1 holds (k + t) mod 256, and the inverse
// lookup gives (t - k) mod 256, so the sums are taken directly; the table
// stays the documented definition and the callers' handle on it.
void Shift(const std::string& key, std::string& text, int sign)
{
    if (key.empty()) {
        throw Exception("The scramble key must not be empty");
    }
    std::size_t k = 0;
    for (char& c : text) {
        const unsigned sum = static_cast<unsigned>(static_cast<std::uint8_t>(c)) +
                             static_cast<unsigned>(sign * static_cast<std::uint8_t>(key[k]));
        c = static_cast<char>(static_cast<std::uint8_t>(sum & 0xFFu));
        if (++k == key.size()) {
            k = 0;
        }
    }
}

} // namespace

void ScrambleText(const TScrambleTable& /*table*/, const std::string& key, std::string& text)
{
    Shift(key, text, 1);
}

void UnscrambleText(const TScrambleTable& /*table*/, const std::string& key, std::string& text)
{
    Shift(key, text, -1);
}
