#pragma once

#include <cstdint>
#include <string>

enum class CellType : std::int32_t {
    Empty = 0,
    Integer = 1,
    Double = 2,
    AnsiText = 3,  // 8-bit characters: the first 256 Unicode characters, kept byte for byte
    WideText = 4,  // UTF-16
};

// One cell value of a sheet grid.
class GridCell {
public:
    CellType Type() const { return type_; }
    bool IsEmpty() const { return type_ == CellType::Empty; }

    std::int32_t AsInteger() const;
    double AsDouble() const;
    const std::string& AnsiText() const;
    const std::u16string& WideText() const;

    void SetInteger(std::int32_t value);
    void SetDouble(double value);
    void SetAnsiText(std::string text);
    void SetWideText(std::u16string text);
    void Clear();

private:
    CellType type_ = CellType::Empty;
    std::int32_t integer_ = 0;
    double real_ = 0.0;
    std::string ansi_;
    std::u16string wide_;
};
