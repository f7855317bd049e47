#pragma once
#include <QStringView>
#include <optional>

// Decimal with optional sign, point and exponent, whatever the locale; surrounding blanks are
// allowed. Empty text, letters, "inf" and "nan" do not convert. Never throws.
std::optional<long double> ParseExtended(QStringView text);
std::optional<double> ParseNumber(QStringView text);
// Rounded to single precision from the extended value, as the instrument's values are held.
std::optional<float> ParseSingle(QStringView text);
// Integer fields take the number truncated toward zero; out-of-range values do not convert.
std::optional<qint32> ParseTruncatedInt(QStringView text);
