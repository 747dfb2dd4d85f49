// Build step: makes the manual the program ships with from its Markdown chapters.
//
//     lentaro_makemanual <version> <output.pdf> <chapter.md>...
//
// A title page, then the contents (every chapter and section with the page it starts on), then
// the chapters in the order given, each from a new page, with the pictures they name found
// beside them. Every page after the title carries its number. The file is written under a
// temporary name and renamed into place only when it is whole.

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// Pictures are sized as a screen shows them (96 dots an inch), never wider than the text.
constexpr double screenDpi = 96;
constexpr int printDpi = 300;
// A heading this close to the foot of a page goes to the next one with its text.
constexpr double headingRoomInLines = 4;

struct Heading {
    QString title;
    int level = 0;
    int page = 0;
};

class Failure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

QFont bodyFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    // No ligatures: the text read back from the file is the text written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

std::unique_ptr<QTextDocument> newDocument(QPaintDevice& device, const QSizeF& page)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(bodyFont());
    document->documentLayout()->setPaintDevice(&device);
    document->setPageSize(page);
    document->setDocumentMargin(0);
    return document;
}

// Each picture the chapter names, loaded from beside it and scaled to fit the text's width.
void placePictures(QTextDocument& document, const QDir& folder, double textWidth)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool onlyPictures = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) {
                onlyPictures = onlyPictures && fragment.text().trimmed().isEmpty();
                continue;
            }
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString path = folder.filePath(format.name());
            const QImage picture(path);
            if (picture.isNull())
                throw Failure("the picture " + path.toStdString() + " cannot be read");
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), picture);
            // The layout scales a picture's size from screen dots to the printer's.
            const double width =
                std::min(double(picture.width()), textWidth * screenDpi / printDpi);
            format.setWidth(width);
            format.setHeight(width * picture.height() / picture.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
        // A picture stands in its own paragraph, centred, with its caption below it.
        if (onlyPictures && block.length() > 1) {
            QTextBlockFormat format = block.blockFormat();
            format.setAlignment(Qt::AlignHCenter);
            format.setTopMargin(6);
            QTextCursor(block).setBlockFormat(format);
            const QTextBlock caption = block.next();
            if (caption.isValid() && caption.blockFormat().headingLevel() == 0) {
                QTextBlockFormat captionFormat = caption.blockFormat();
                captionFormat.setAlignment(Qt::AlignHCenter);
                captionFormat.setBottomMargin(10);
                QTextCursor cursor(caption);
                cursor.setBlockFormat(captionFormat);
                cursor.select(QTextCursor::BlockUnderCursor);
                QTextCharFormat small;
                small.setFontItalic(true);
                small.setFontPointSize(9);
                cursor.mergeCharFormat(small);
            }
        }
    }
}

// Sections stand apart from the text before them.
void spaceHeadings(QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 2)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 2 ? 16 : 10);
        format.setBottomMargin(4);
        QTextCursor(block).setBlockFormat(format);
    }
}

void drawTableLines(QTextFrame& frame)
{
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(Qt::gray);
            format.setBorderCollapse(true);
            format.setCellPadding(5);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
        drawTableLines(*child);
    }
}

double pageHeight(const QTextDocument& document)
{
    return document.pageSize().height();
}

int pageOf(const QTextDocument& document, const QTextBlock& block)
{
    return int(document.documentLayout()->blockBoundingRect(block).top() / pageHeight(document));
}

// A section heading left at the foot of a page, without room for its first lines, starts the
// next page instead, and so does a picture whose caption would be on the next page.
void keepHeadingsWithTheirText(QTextDocument& document)
{
    const double lineHeight =
        QFontMetricsF(bodyFont(), document.documentLayout()->paintDevice()).lineSpacing();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // A picture goes to the page its caption is on.
        const bool picture =
            block.begin() != block.end() && block.begin().fragment().charFormat().isImageFormat();
        if (picture && block.next().isValid()
            && pageOf(document, block.next()) != pageOf(document, block)) {
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            continue;
        }
        if (block.blockFormat().headingLevel() < 2)
            continue;
        const QRectF place = document.documentLayout()->blockBoundingRect(block);
        const double page = pageHeight(document);
        const double pageEnd = (std::floor(place.top() / page) + 1) * page;
        if (pageEnd - place.bottom() < headingRoomInLines * lineHeight) {
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
        }
    }
}

std::unique_ptr<QTextDocument> chapter(const QString& path, QPaintDevice& device,
                                       const QSizeF& page)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure("the chapter " + path.toStdString() + " cannot be read");
    auto document = newDocument(device, page);
    document->setMarkdown(QString::fromUtf8(file.readAll()));
    if (document->begin().blockFormat().headingLevel() != 1)
        throw Failure("the chapter " + path.toStdString() + " does not begin with its title");
    placePictures(*document, QFileInfo(path).dir(), page.width());
    drawTableLines(*document->rootFrame());
    spaceHeadings(*document);
    keepHeadingsWithTheirText(*document);
    return document;
}

std::vector<Heading> headingsOf(const QTextDocument& document, int firstPage)
{
    std::vector<Heading> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 1 || level == 2)
            headings.push_back({block.text(), level, firstPage + pageOf(document, block)});
    }
    return headings;
}

std::unique_ptr<QTextDocument> contents(const std::vector<Heading>& headings, QPaintDevice& device,
                                        const QSizeF& page)
{
    auto document = newDocument(device, page);
    QTextCursor cursor(document.get());
    QTextBlockFormat title;
    title.setHeadingLevel(1);
    title.setBottomMargin(12);
    QTextCharFormat titleText;
    titleText.setFontPointSize(18);
    titleText.setFontWeight(QFont::Bold);
    cursor.setBlockFormat(title);
    cursor.insertText(QStringLiteral("Contents"), titleText);
    // One row a heading: its title, indented by its level, and its page at the right.
    QTextTableFormat tableFormat;
    tableFormat.setBorder(0);
    tableFormat.setCellPadding(2);
    tableFormat.setCellSpacing(0);
    tableFormat.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tableFormat.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                           QTextLength(QTextLength::PercentageLength, 10)});
    cursor.insertBlock();
    QTextTable* table = cursor.insertTable(int(headings.size()), 2, tableFormat);
    for (int row = 0; row < int(headings.size()); ++row) {
        const Heading& heading = headings[std::size_t(row)];
        QTextCharFormat text;
        text.setFontWeight(heading.level == 1 ? QFont::Bold : QFont::Normal);
        QTextBlockFormat titleFormat;
        titleFormat.setIndent(heading.level - 1);
        titleFormat.setTopMargin(heading.level == 1 ? 6 : 0);
        QTextCursor title = table->cellAt(row, 0).firstCursorPosition();
        title.setBlockFormat(titleFormat);
        title.insertText(heading.title, text);
        QTextBlockFormat pageFormat = titleFormat;
        pageFormat.setIndent(0);
        pageFormat.setAlignment(Qt::AlignRight);
        QTextCursor number = table->cellAt(row, 1).firstCursorPosition();
        number.setBlockFormat(pageFormat);
        number.insertText(QString::number(heading.page), text);
    }
    return document;
}

std::unique_ptr<QTextDocument> titlePage(const QString& version, QPaintDevice& device,
                                         const QSizeF& page)
{
    auto document = newDocument(device, page);
    document->setHtml(
        QStringLiteral("<div align=center><br><br><br><br><br><br>"
                       "<p style='font-size:32pt'><b>Lentaro Manual</b></p>"
                       "<p style='font-size:14pt'>Slow down, speed up and transpose music to "
                       "learn it by ear</p><br>"
                       "<p style='font-size:12pt'>Tutorial &middot; Reference &middot; "
                       "Troubleshooting Guide</p><br><br>"
                       "<p>Version %1, for Linux</p></div>")
            .arg(version.toHtmlEscaped()));
    return document;
}

class PageWriter
{
public:
    PageWriter(QPdfWriter& writer, QPainter& painter, double footerHeight)
        : writer_(writer), painter_(painter), footerHeight_(footerHeight)
    {
    }

    // Every page of the document, numbered unless it is the title page.
    void write(const QTextDocument& document)
    {
        const double height = pageHeight(document);
        const double width = document.pageSize().width();
        for (int i = 0; i < document.pageCount(); ++i) {
            if (pages_ > 0)
                writer_.newPage();
            ++pages_;
            // A hair short of the page: what begins on the next page may reach a fraction of a
            // dot above it, and would show as a sliver at this page's foot.
            const QRectF clip(0, i * height, width, height - 2);
            painter_.save();
            painter_.translate(0, -i * height);
            painter_.setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            document.documentLayout()->draw(&painter_, context);
            painter_.restore();
            if (pages_ > 1) {
                QFont font = bodyFont();
                font.setPointSizeF(9);
                painter_.setFont(font);
                painter_.drawText(QRectF(0, height, width, footerHeight_),
                                  Qt::AlignHCenter | Qt::AlignBottom, QString::number(pages_));
            }
        }
    }

private:
    QPdfWriter& writer_;
    QPainter& painter_;
    double footerHeight_;
    int pages_ = 0;
};

void writeManual(const QString& version, const QString& partial, const QStringList& chapterFiles)
{
    QPdfWriter writer(partial);
    writer.setResolution(printDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(22, 18, 22, 14), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Lentaro Manual"));
    writer.setCreator(QStringLiteral("Lentaro ") + version);
    const QRect body = writer.pageLayout().paintRectPixels(printDpi);
    const double footerHeight = 10.0 / 25.4 * printDpi;
    const QSizeF page(body.width(), body.height() - footerHeight);

    std::vector<std::unique_ptr<QTextDocument>> chapters;
    for (const QString& file : chapterFiles)
        chapters.push_back(chapter(file, writer, page));
    // The contents' length does not depend on the page numbers it shows: one line each.
    const auto headingsFrom = [&](int firstPage) {
        std::vector<Heading> headings;
        for (const auto& document : chapters) {
            for (const Heading& heading : headingsOf(*document, firstPage))
                headings.push_back(heading);
            firstPage += document->pageCount();
        }
        return headings;
    };
    const int contentsPages = contents(headingsFrom(0), writer, page)->pageCount();
    const auto table = contents(headingsFrom(2 + contentsPages), writer, page);

    QPainter painter;
    if (!painter.begin(&writer))
        throw Failure("cannot write " + partial.toStdString());
    PageWriter pages(writer, painter, footerHeight);
    pages.write(*titlePage(version, writer, page));
    pages.write(*table);
    for (const auto& document : chapters)
        pages.write(*document);
    painter.end();
}

// An earlier manual stays as it was until the new one is whole.
void makeManual(const QString& version, const QString& output, const QStringList& chapterFiles)
{
    const QString partial = output + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        writeManual(version, partial, chapterFiles);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output))
        throw Failure("cannot rename " + partial.toStdString() + " to " + output.toStdString());
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: lentaro_makemanual <version> <output.pdf> <chapter.md>...\n");
        return 2;
    }
    try {
        makeManual(arguments[1], arguments[2], arguments.mid(3));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "lentaro_makemanual: %s\n", failure.what());
        return 1;
    }
    return 0;
}
