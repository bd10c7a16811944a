// A figure written to the digits its Monte Carlo standard error supports.
#pragma once

#include <optional>
#include <string>

namespace varno {

// `value` rounded half to even at 10^floor(log10 mcse) and written in fixed notation with as
// many decimals as that place needs: 4.1834 with an MCSE of 0.15 is "4.2", 1234.5 with 15 is
// "1230". Both numbers are taken as std::to_chars writes them (their shortest texts), so a value
// that reads as a tie is one. An MCSE of 0, or one finer than the 17 significant digits a double
// holds, keeps every digit (the shortest text); no MCSE, a negative or non-finite one, or a
// non-finite value writes "NA". A value that rounds to zero is written without a sign.
std::string mcseRounded(double value, std::optional<double> mcse);

}  // namespace varno
