#include "loops/gridLayout.h"

#include "soundfile/regular_file.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QFile>
#include <QHeaderView>
#include <QMetaProperty>
#include <QSqlError>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <cerrno>
#include <set>

#include <fcntl.h>
#include <unistd.h>

namespace lentaro {

namespace {

constexpr int badLayout = 3273;

// Opens no editor in the columns the layout keeps read-only.
class LayoutDelegate : public QStyledItemDelegate
{
public:
    LayoutDelegate(std::set<int> readOnly, WriteFailed writeFailed, QObject* parent)
        : QStyledItemDelegate(parent),
          readOnly_(std::move(readOnly)),
          writeFailed_(std::move(writeFailed))
    {
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        const QByteArray property = editor->metaObject()->userProperty().name();
        if (model->setData(index, editor->property(property.constData()), Qt::EditRole))
            return;
        auto* table = qobject_cast<QSqlTableModel*>(model);
        if (!table)
            return;
        const QSqlError error = table->lastError();
        table->revertRow(index.row());
        if (writeFailed_) {
            const int number = error.nativeErrorCode().toInt();
            writeFailed_(number != 0 ? number : errorNumbers::databaseCallFailed);
        }
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (readOnly_.count(index.column()))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    std::set<int> readOnly_;
    WriteFailed writeFailed_;
};

[[noreturn]] void damaged(const QString& path, int line, const QString& what)
{
    throw RuntimeError(badLayout, QStringLiteral("%1, line %2: %3").arg(path).arg(line).arg(what));
}

GridLayout::Column column(const QString& value, const QString& path, int line)
{
    const QStringList parts = value.split(QLatin1Char('|'));
    if (parts.size() != 4)
        damaged(path, line,
                QStringLiteral("a column is field|caption|width|read-only or editable"));
    GridLayout::Column c;
    c.field = parts[0].trimmed();
    c.caption = parts[1].trimmed();
    bool number = false;
    c.width = parts[2].trimmed().toInt(&number);
    if (c.field.isEmpty() || !number || c.width <= 0)
        damaged(path, line, QStringLiteral("a column needs a field and a width above 0"));
    const QString access = parts[3].trimmed();
    if (access != QLatin1String("read-only") && access != QLatin1String("editable"))
        damaged(path, line, QStringLiteral("a column is read-only or editable"));
    c.readOnly = access == QLatin1String("read-only");
    return c;
}

} // namespace

GridLayout GridLayout::builtIn()
{
    GridLayout layout;
    layout.columns = {{QStringLiteral("TrackNum"), QStringLiteral("Trk"), 35, true},
                      {QStringLiteral("chords"), QStringLiteral("Chords"), 120, false},
                      {QStringLiteral("lyrics"), QStringLiteral("Lyrics"), 120, false},
                      {QStringLiteral("Comment"), QStringLiteral("Label/Comment"), 200, false}};
    return layout;
}

GridLayout readGridLayout(const QString& path, const QString& name)
{
    const kv::RegularFile opened =
        kv::openRegularFile(QFile::encodeName(path).toStdString(), O_RDONLY);
    if (!opened.opened() && opened.error == ENOENT)
        throw RuntimeError(errorNumbers::fileNotFound, QStringLiteral("File not found: ") + path);
    if (!opened.opened())
        throw RuntimeError(errorNumbers::pathFileAccess,
                           QStringLiteral("%1 cannot be read: %2")
                               .arg(path, QString::fromStdString(kv::whyNotOpened(opened))));
    QFile file;
    if (!file.open(opened.descriptor, QIODevice::ReadOnly | QIODevice::Text,
                   QFileDevice::AutoCloseHandle)) {
        ::close(opened.descriptor);
        throw RuntimeError(errorNumbers::pathFileAccess, path + QStringLiteral(" cannot be read"));
    }
    GridLayout layout;
    bool named = false;
    int line = 0;
    while (!file.atEnd()) {
        ++line;
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const int colon = text.indexOf(QLatin1Char(':'));
        if (colon < 0)
            damaged(path, line, QStringLiteral("a line is key: value"));
        const QString key = text.left(colon).trimmed();
        const QString value = text.mid(colon + 1).trimmed();
        if (key == QLatin1String("layout")) {
            if (value != name)
                damaged(path, line, QStringLiteral("the file holds layout ") + value);
            named = true;
        } else if (key == QLatin1String("font")) {
            const QStringList parts = value.split(QLatin1Char('|'));
            bool number = false;
            layout.fontPointSize = parts.value(1).trimmed().toDouble(&number);
            if (parts.size() != 2 || !number || layout.fontPointSize <= 0)
                damaged(path, line, QStringLiteral("a font is family|point size"));
            layout.fontFamily = parts[0].trimmed();
        } else if (key == QLatin1String("column")) {
            layout.columns.push_back(column(value, path, line));
        } else {
            damaged(path, line, QStringLiteral("unknown key ") + key);
        }
    }
    if (!named || layout.columns.empty())
        damaged(path, line, QStringLiteral("a layout names itself and has columns"));
    layout.name = name;
    return layout;
}

void applyGridLayout(QTableView& grid, const GridLayout& layout, WriteFailed writeFailed)
{
    auto* model = qobject_cast<QSqlTableModel*>(grid.model());
    if (!model)
        return;
    QFont font = grid.font();
    if (!layout.fontFamily.isEmpty())
        font.setFamily(layout.fontFamily);
    if (layout.fontPointSize > 0)
        font.setPointSizeF(layout.fontPointSize);
    grid.setFont(font);
    QHeaderView& header = *grid.horizontalHeader();
    for (int c = 0; c < model->columnCount(); ++c)
        grid.setColumnHidden(c, true);
    std::set<int> readOnly;
    int visual = 0;
    for (const GridLayout::Column& column : layout.columns) {
        const int c = model->fieldIndex(column.field);
        if (c < 0)
            continue;
        model->setHeaderData(c, Qt::Horizontal, column.caption);
        grid.setColumnHidden(c, false);
        // Never narrower than its caption in the layout's font.
        grid.setColumnWidth(c, std::max(column.width, header.sectionSizeHint(c)));
        header.moveSection(header.visualIndex(c), visual++);
        if (column.readOnly)
            readOnly.insert(c);
    }
    QAbstractItemDelegate* previous = grid.itemDelegate();
    grid.setItemDelegate(new LayoutDelegate(std::move(readOnly), std::move(writeFailed), &grid));
    if (previous && previous->parent() == &grid)
        previous->deleteLater();
}

} // namespace lentaro
