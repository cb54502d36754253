// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <charconv>
#include <cstdint>
#include <limits>

namespace quarvex {
namespace {

// A whole piece of text as a 16-bit number, as the original conversion read it.
int toInteger16(const std::string& piece) {
    std::size_t b = piece.find_first_not_of(" \t");
    std::size_t e = piece.find_last_not_of(" \t");
    if (b == std::string::npos) {
        Exceptions::Throw(errc::TypeMismatch, "empty outlet address piece");
    }
    const std::string t = piece.substr(b, e - b + 1);
    long value = 0;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || ptr != t.data() + t.size()) {
        Exceptions::Throw(errc::TypeMismatch, "not a number: " + t);
    }
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        Exceptions::Throw(errc::Overflow, t);
    }
    return static_cast<int>(value);
}

}  // namespace

bool CoordenadasSaidas::isValid(const CoordenadasSaida& self) const {
    return self.numeroTramo != 0 && self.saida != 0;
}

CoordenadasSaida CoordenadasSaidas::newEndGunCoordenadas() const {
    return {-1, -1};
}

CoordenadasSaida CoordenadasSaidas::newTramoCoordenadas(int tramo, int saida) const {
    return {tramo, saida};
}

bool CoordenadasSaidas::isAtEndGun(const CoordenadasSaida& self) const {
    return self.numeroTramo == -1 && self.saida == -1;
}

std::string CoordenadasSaidas::ToString(const CoordenadasSaida& self) const {
    return std::to_string(self.numeroTramo) + "-" + std::to_string(self.saida);
}

CoordenadasSaida CoordenadasSaidas::Parse(const std::string& serialized) const {
    const std::size_t first = serialized.find('-');
    const std::size_t last = serialized.rfind('-');
    const std::string head = first == std::string::npos ? serialized : serialized.substr(0, first);
    const std::string tail = last == std::string::npos ? serialized : serialized.substr(last + 1);
    return newTramoCoordenadas(toInteger16(head), toInteger16(tail));
}

}  // namespace quarvex
