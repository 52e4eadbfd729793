#pragma once
// One row of the high-score table. The shell keeps, orders, stores and
// exchanges rows without looking inside them; the game supplies the row type
// through cMiddle::CreateScoreRow.
#include <vector>

#include "engine/core/vekstring.h"

namespace vek {
class cBitStream;
}

class cScoreRow {
public:
    // Rows are freed through this base.
    virtual ~cScoreRow() = default;
    // The table's order: true when this row ranks below the other.
    virtual bool IsLess(const cScoreRow* other) const = 0;
    // A row operation the shell never calls; row types may use it freely.
    virtual void Reserved() {}
    // Takes the next row from the front of a received text (consuming it);
    // false when none is left.
    virtual bool ParseText(vek::string& text) = 0;
    // Reads the row from the score file; false on failure.
    virtual bool Load(vek::cBitStream& stream) = 0;
    // Appends the row's exchange text.
    virtual void AppendText(vek::string& text) const = 0;
    virtual void Save(vek::cBitStream& stream) const = 0;
    // The row as the score screen shows it.
    virtual vek::string GetText() const = 0;
};

// The most rows the table keeps, and the most a received reply yields.
constexpr int kMaxScoreRows = 20;
