#include "GridCell.h"

#include <cmath>
#include <limits>

std::int32_t GridCell::AsInteger() const
{
    if (type_ == CellType::Integer)
        return integer_;
    if (type_ == CellType::Double) {
        // Truncation toward zero, held to the integer range so that no value is undefined.
        if (std::isnan(real_))
            return 0;
        if (real_ >= 2147483647.0)
            return std::numeric_limits<std::int32_t>::max();
        if (real_ <= -2147483648.0)
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(real_);
    }
    return 0;
}

double GridCell::AsDouble() const
{
    if (type_ == CellType::Double)
        return real_;
    if (type_ == CellType::Integer)
        return integer_;
    return 0.0;
}

const std::string& GridCell::AnsiText() const
{
    static const std::string none;
    return type_ == CellType::AnsiText ? ansi_ : none;
}

const std::u16string& GridCell::WideText() const
{
    static const std::u16string none;
    return type_ == CellType::WideText ? wide_ : none;
}

void GridCell::SetInteger(std::int32_t value)
{
    type_ = CellType::Integer;
    integer_ = value;
}

void GridCell::SetDouble(double value)
{
    type_ = CellType::Double;
    real_ = value;
}

void GridCell::SetAnsiText(std::string text)
{
    wide_.clear();
    ansi_ = std::move(text);
    type_ = ansi_.empty() ? CellType::Empty : CellType::AnsiText;
}

void GridCell::SetWideText(std::u16string text)
{
    ansi_.clear();
    wide_ = std::move(text);
    type_ = wide_.empty() ? CellType::Empty : CellType::WideText;
}

void GridCell::Clear()
{
    *this = GridCell{};
}
