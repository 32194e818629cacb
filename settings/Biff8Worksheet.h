#pragma once

#include "Biff8CellRecords.h"
#include "Biff8Record.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace Biff8 {

// One worksheet substream as the store understands it.
class Worksheet {
public:
    class Index : public Record {
    public:
        Index() : Record(RT_INDEX) {}
        std::uint32_t reserved1 = 0;
        std::uint32_t firstUsedRow = 0;
        std::uint32_t lastUsedRowPlus1 = 0;
        std::uint32_t reserved2 = 0;
        std::vector<std::uint32_t> dbCellPositions;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class Dimensions : public Record {
    public:
        Dimensions() : Record(RT_DIMENSIONS) {}
        std::uint32_t firstUsedRow = 0;
        std::uint32_t lastUsedRowPlus1 = 0;
        std::uint16_t firstUsedColumn = 0;
        std::uint16_t lastUsedColumnPlus1 = 0;
        std::uint16_t reserved = 0;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class Window2 : public Record {
    public:
        Window2() : Record(RT_WINDOW2) {}
        std::uint16_t options = WINDOW2_DEFAULT_OPTIONS;
        std::uint16_t firstVisibleRow = 0;
        std::uint16_t firstVisibleColumn = 0;
        std::uint16_t gridLineColourIndex = 64;
        std::uint16_t reserved1 = 0;
        std::uint16_t pageBreakPreviewZoom = 0;
        std::uint16_t normalZoom = 0;
        std::uint32_t reserved2 = 0;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class CellTable {
    public:
        class RowBlock {
        public:
            class Row : public Record {
            public:
                Row() : Record(RT_ROW) {}
                std::uint16_t rowIndex = 0;
                std::uint16_t firstColumn = 0;
                std::uint16_t lastColumnPlus1 = 0;
                std::uint16_t height = 255;
                std::uint16_t reserved1 = 0;
                std::uint16_t reserved2 = 0;
                std::uint32_t options = 0;

            protected:
                bool DecodeFields() override;
                void EncodeFields() override;
            };

            class DBCell : public Record {
            public:
                DBCell() : Record(RT_DBCELL) {}
                std::uint32_t firstRowOffset = 0;
                std::vector<std::uint16_t> rowOffsets;

            protected:
                bool DecodeFields() override;
                void EncodeFields() override;
            };

            // Holds one cell record; code names the kind that is meaningful.
            class CellBlock {
            public:
                using Blank = CellRecords::Blank;
                using BoolErr = CellRecords::BoolErr;
                using LabelSST = CellRecords::LabelSST;
                using MulBlank = CellRecords::MulBlank;
                using MulRK = CellRecords::MulRK;
                using Number = CellRecords::Number;
                using RK = CellRecords::RK;
                using Formula = CellRecords::Formula;

                std::uint16_t code = 0xFFFF;
                std::variant<Blank, BoolErr, LabelSST, MulBlank, MulRK, Number, RK, Formula> cell;

                template <class Kind>
                Kind& Make()
                {
                    Kind& k = cell.template emplace<Kind>();
                    code = k.code;
                    return k;
                }
                Record& AsRecord()
                {
                    return std::visit([](auto& r) -> Record& { return r; }, cell);
                }
                const CellRecords::CellRecord& AsCell() const
                {
                    return std::visit([](const auto& r) -> const CellRecords::CellRecord& { return r; }, cell);
                }
            };

            std::vector<Row> rows;
            std::vector<CellBlock> cells;
            DBCell dbCell;
        };

        std::vector<RowBlock> rowBlocks;
    };

    BOF bof{BOF_TYPE_WORKSHEET};
    Index index;
    Dimensions dimensions;
    CellTable cellTable;
    Window2 window2;
    EndOfFile eof;

    std::uint32_t TotalLength();
    std::uint32_t Encode(std::span<std::uint8_t> out, std::size_t pos);
};

} // namespace Biff8
