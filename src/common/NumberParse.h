#pragma once
#include <QStringView>
#include <optional>

// Decimal with optional sign, point and exponent, whatever the locale. Spaces and tabs around the
// number are padding and allowed; inside it they would join two numbers into one, so they are not.
// Empty text, letters, "inf" and "nan" do not convert. Nor does a non-zero number that the result
// type could hold only as infinity, zero or a subnormal: a reading that far out is a fault, and the
// caller keeps the value it had rather than show a false infinity or zero. Never throws.
std::optional<long double> ParseExtended(QStringView text);
std::optional<double> ParseNumber(QStringView text);
// Rounded to single precision from the extended value, as the instrument's values are held.
std::optional<float> ParseSingle(QStringView text);
// Integer fields take the extended number truncated toward zero; out-of-range values do not convert.
std::optional<qint32> ParseTruncatedInt(QStringView text);
