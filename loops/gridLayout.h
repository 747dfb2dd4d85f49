#pragma once

#include <QString>

#include <functional>
#include <vector>

class QTableView;

namespace lentaro {

// A layout of the loop grid, read from a .grx file: a text file of "key: value" lines, blank
// lines and lines starting with # skipped.
//
//     layout: detail
//     font: |8.25                   family|point size; no family keeps the grid's own
//     column: startTime|Start (ms)|70|read-only
//     column: Comment|Label/Comment|200|editable
//
// Columns are listed left to right: the field shown, its caption, its width in pixels and
// whether the grid lets it be edited. Fields the bound table lacks are left out when applied.
struct GridLayout {
    struct Column {
        QString field;
        QString caption;
        int width = 0;
        bool readOnly = false;
    };

    QString name;
    QString fontFamily; // empty: the grid's own
    double fontPointSize = 0;
    std::vector<Column> columns;

    // The grid's columns when no layout file could be read.
    static GridLayout builtIn();
};

// Reads the layout `name` from the file; run-time error 53 when the file is missing, 3273 when
// it is damaged or holds another layout (the description says where).
GridLayout readGridLayout(const QString& path, const QString& name);

// Shows the grid's model through the layout: only its columns, in its order, with its captions,
// widths (widened where the caption would not fit), fonts and read-only columns. A cell the database would not store is shown as stored
// again and reported to writeFailed with the database's error number.
using WriteFailed = std::function<void(int error)>;
void applyGridLayout(QTableView& grid, const GridLayout& layout, WriteFailed writeFailed = {});

} // namespace lentaro
