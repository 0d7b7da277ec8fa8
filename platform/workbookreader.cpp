#include "workbookreader.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamReader>

#include <cmath>
#include <vector>

#include <freexl.h>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace mivo::data
{

namespace
{

/// One zip entry as a sequential device, inflated as it is read.
class ZipEntryDevice : public QIODevice
{
public:
    explicit ZipEntryDevice(zip_file_t* file) : m_file(file) { open(QIODevice::ReadOnly); }
    ~ZipEntryDevice() override
    {
        if (m_file)
            zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (n < 0) {
            m_failed = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    bool m_failed = false;
};

QString bookText(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

/// "word/../x" and "/x" forms of a relationship target below the folder of its source.
QString resolveTarget(const QString& folder, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = folder.isEmpty() ? QStringList() : folder.split(u'/');
    for (const QString& part : target.split(u'/')) {
        if (part == u".."_s) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (part != u"."_s && !part.isEmpty()) {
            parts.append(part);
        }
    }
    return parts.join(u'/');
}

/// "B12" → column 1, row 12; false when not a cell reference.
bool splitReference(QStringView ref, int& column, int& row)
{
    int i = 0;
    int col = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    bool ok = false;
    row = ref.mid(i).toInt(&ok);
    column = col - 1;
    return ok && row > 0;
}

} // namespace

struct WorkbookReader::Xlsx {
    zip_t* archive = nullptr;
    QString sheetEntry;
    bool date1904 = false;
    std::vector<QString> sharedStrings;
    std::vector<bool> dateStyles;
    ~Xlsx()
    {
        if (archive)
            zip_discard(archive);
    }
    /// The entry by name in any letter case, or nullptr.
    std::unique_ptr<ZipEntryDevice> entry(const QString& name) const
    {
        const QByteArray utf8 = name.toUtf8();
        zip_file_t* file = zip_fopen(archive, utf8.constData(), ZIP_FL_NOCASE);
        if (!file)
            return nullptr;
        return std::make_unique<ZipEntryDevice>(file);
    }
};

int WorkbookReader::columnIndex(const QString& letters)
{
    if (letters.isEmpty())
        return -1;
    int col = 0;
    for (QChar c : letters) {
        const QChar u = c.toUpper();
        if (u < u'A' || u > u'Z')
            return -1;
        col = col * 26 + (u.unicode() - 'A' + 1);
    }
    return col - 1;
}

QString numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString serialDateText(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465)
        return {};
    const qint64 days = qint64(std::floor(serial));
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days);
    else if (days < 60) // the serials before Excel's imagined 1900.02.29
        date = QDate(1899, 12, 31).addDays(days);
    else
        date = QDate(1899, 12, 30).addDays(days);
    return date.toString(u"yyyy.MM.dd"_s);
}

bool isDateFormat(int id, const QString& code)
{
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    bool quoted = false;
    bool bracket = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\\' || c == u'_')
            ++i;
        else if (c == u'[')
            bracket = true;
        else if (c == u']')
            bracket = false;
        else if (!bracket && QStringView(u"dDmMyY").contains(c))
            return true;
    }
    return false;
}

WorkbookReader::WorkbookReader() = default;
WorkbookReader::~WorkbookReader() = default;

bool WorkbookReader::open(const QString& path)
{
    m_path = path;
    m_error.clear();
    m_lastRow = 0;
    m_xlsx.reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    const QByteArray head = file.read(8);
    file.close();
    static const QByteArray ole2("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    if (head.startsWith("PK\x03\x04")) {
        m_isXlsx = true;
        if (!openXlsx())
            return false;
    } else if (head == ole2) {
        m_isXlsx = false;
    } else {
        m_error = u"nem Excel munkafüzet"_s;
        return false;
    }
    int last = 0;
    if (!forEachRow([&last](int row, const QStringList&) {
            last = std::max(last, row);
            return true;
        }))
        return false;
    m_lastRow = last;
    return true;
}

bool WorkbookReader::openXlsx()
{
    auto xlsx = std::make_unique<Xlsx>();
    int code = 0;
    xlsx->archive = zip_open(QFile::encodeName(m_path).constData(), ZIP_RDONLY, &code);
    if (!xlsx->archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        m_error = bookText(zip_error_strerror(&error));
        zip_error_fini(&error);
        return false;
    }
    // The relationships of a part: id → target path in the archive.
    const auto relations = [&xlsx](const QString& part) {
        QList<QPair<QString, QString>> found;
        const int slash = part.lastIndexOf(u'/');
        const QString folder = slash < 0 ? QString() : part.left(slash);
        const QString relsName = (folder.isEmpty() ? QString() : folder + u'/') + u"_rels/"_s +
                                 part.mid(slash + 1) + u".rels"_s;
        auto device = xlsx->entry(relsName);
        if (!device)
            return found;
        QXmlStreamReader xml(device.get());
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship"_s)
                continue;
            const auto a = xml.attributes();
            found.append({a.value(u"Id"_s).toString() + u'\n' + a.value(u"Type"_s).toString(),
                          resolveTarget(folder, a.value(u"Target"_s).toString())});
        }
        return found;
    };

    QString bookPart = u"xl/workbook.xml"_s;
    for (const auto& [idType, target] : relations(QString()))
        if (idType.endsWith(u"/officeDocument"_s))
            bookPart = target;

    auto book = xlsx->entry(bookPart);
    if (!book) {
        m_error = u"a munkafüzet része hiányzik: "_s + bookPart;
        return false;
    }
    int activeTab = 0;
    QStringList sheetIds;
    {
        QXmlStreamReader xml(book.get());
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto a = xml.attributes();
            if (xml.name() == u"workbookPr"_s) {
                const auto v = a.value(u"date1904"_s);
                xlsx->date1904 = v == u"1"_s || v == u"true"_s;
            } else if (xml.name() == u"workbookView"_s) {
                activeTab = a.value(u"activeTab"_s).toInt();
            } else if (xml.name() == u"sheet"_s) {
                for (const auto& attr : a)
                    if (attr.name() == u"id"_s)
                        sheetIds.append(attr.value().toString());
            }
        }
        if (xml.hasError()) {
            m_error = xml.errorString();
            return false;
        }
    }
    if (sheetIds.isEmpty()) {
        m_error = u"a munkafüzetben nincs munkalap"_s;
        return false;
    }
    const QString sheetId = sheetIds.value(std::clamp(activeTab, 0, int(sheetIds.size()) - 1));
    QString stringsPart, stylesPart;
    for (const auto& [idType, target] : relations(bookPart)) {
        const QString id = idType.section(u'\n', 0, 0);
        if (id == sheetId)
            xlsx->sheetEntry = target;
        if (idType.endsWith(u"/sharedStrings"_s))
            stringsPart = target;
        if (idType.endsWith(u"/styles"_s))
            stylesPart = target;
    }
    if (xlsx->sheetEntry.isEmpty()) {
        m_error = u"a munkalap nem található"_s;
        return false;
    }
    if (!stringsPart.isEmpty()) {
        if (auto device = xlsx->entry(stringsPart)) {
            QXmlStreamReader xml(device.get());
            QString current;
            bool inSi = false;
            bool inPhonetic = false;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::StartElement) {
                    if (xml.name() == u"si"_s) {
                        inSi = true;
                        current.clear();
                    } else if (xml.name() == u"rPh"_s) {
                        inPhonetic = true;
                    } else if (xml.name() == u"t"_s && inSi && !inPhonetic) {
                        current += xml.readElementText();
                    }
                } else if (token == QXmlStreamReader::EndElement) {
                    if (xml.name() == u"si"_s) {
                        xlsx->sharedStrings.push_back(current);
                        inSi = false;
                    } else if (xml.name() == u"rPh"_s) {
                        inPhonetic = false;
                    }
                }
            }
            if (xml.hasError() || device->failed()) {
                m_error = xml.hasError() ? xml.errorString() : u"sérült tömörített adat"_s;
                return false;
            }
        }
    }
    if (!stylesPart.isEmpty()) {
        if (auto device = xlsx->entry(stylesPart)) {
            QXmlStreamReader xml(device.get());
            QHash<int, QString> codes;
            bool inXfs = false;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::StartElement) {
                    const auto a = xml.attributes();
                    if (xml.name() == u"numFmt"_s)
                        codes.insert(a.value(u"numFmtId"_s).toInt(),
                                     a.value(u"formatCode"_s).toString());
                    else if (xml.name() == u"cellXfs"_s)
                        inXfs = true;
                    else if (inXfs && xml.name() == u"xf"_s) {
                        const int id = a.value(u"numFmtId"_s).toInt();
                        xlsx->dateStyles.push_back(isDateFormat(id, codes.value(id)));
                    }
                } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs"_s) {
                    inXfs = false;
                }
            }
        }
    }
    m_xlsx = std::move(xlsx);
    return true;
}

bool WorkbookReader::forEachRow(const RowHandler& handler)
{
    return m_isXlsx ? readXlsx(handler) : readXls(handler);
}

bool WorkbookReader::readXlsx(const RowHandler& handler)
{
    if (!m_xlsx) {
        m_error = u"a munkafüzet nincs megnyitva"_s;
        return false;
    }
    auto device = m_xlsx->entry(m_xlsx->sheetEntry);
    if (!device) {
        m_error = u"a munkalap nem található"_s;
        return false;
    }
    QXmlStreamReader xml(device.get());
    QStringList cells;
    int rowNumber = 0;
    int nextColumn = 0;
    bool rowHasCell = false;
    const auto setCell = [&cells](int column, const QString& text) {
        if (column < 0 || column > 16383)
            return;
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = text;
    };
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == u"row"_s) {
            const auto r = xml.attributes().value(u"r"_s);
            rowNumber = r.isEmpty() ? rowNumber + 1 : r.toInt();
            cells.clear();
            nextColumn = 0;
            rowHasCell = false;
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"row"_s) {
            if (rowHasCell && !handler(rowNumber, cells))
                return true;
        } else if (token == QXmlStreamReader::StartElement && xml.name() == u"c"_s) {
            const auto a = xml.attributes();
            int column = nextColumn;
            int refRow = 0;
            if (a.hasAttribute(u"r"_s))
                splitReference(a.value(u"r"_s), column, refRow);
            nextColumn = column + 1;
            rowHasCell = true;
            const QString type = a.value(u"t"_s).toString();
            const int style = a.value(u"s"_s).toInt();
            QString value;
            QString inlineText;
            // The cell's children: the value, a formula, an inline string with its runs.
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement && xml.name() == u"c"_s)
                    break;
                if (t != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == u"v"_s)
                    value = xml.readElementText();
                else if (xml.name() == u"t"_s)
                    inlineText += xml.readElementText();
                else if (xml.name() == u"rPh"_s)
                    xml.skipCurrentElement();
            }
            QString text;
            if (type == u"inlineStr"_s) {
                text = inlineText;
            } else if (type == u"s"_s) {
                const int index = value.toInt();
                if (index >= 0 && size_t(index) < m_xlsx->sharedStrings.size())
                    text = m_xlsx->sharedStrings[size_t(index)];
            } else if (type == u"b"_s) {
                text = value.isEmpty() ? QString() : value == u"1"_s ? u"IGAZ"_s : u"HAMIS"_s;
            } else if (type == u"str"_s || type == u"e"_s) {
                text = value;
            } else if (type == u"d"_s) {
                const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
                text = date.isValid() ? date.toString(u"yyyy.MM.dd"_s) : value;
            } else if (!value.isEmpty()) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                const bool isDate = style >= 0 && size_t(style) < m_xlsx->dateStyles.size() &&
                                    m_xlsx->dateStyles[size_t(style)];
                if (!ok)
                    text = value;
                else if (isDate)
                    text = serialDateText(number, m_xlsx->date1904);
                else
                    text = numberText(number);
            }
            setCell(column, text);
        }
    }
    if (xml.hasError() || device->failed()) {
        m_error = device->failed() ? u"sérült tömörített adat"_s : xml.errorString();
        return false;
    }
    return true;
}

bool WorkbookReader::readXls(const RowHandler& handler)
{
    const void* handle = nullptr;
    if (freexl_open(QFile::encodeName(m_path).constData(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        m_error = u"sérült xls munkafüzet"_s;
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        freexl_close(handle);
        m_error = u"a munkalap nem olvasható"_s;
        return false;
    }
    QStringList cells;
    for (unsigned int r = 0; r < rows; ++r) {
        cells.clear();
        bool any = false;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            QString text;
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK) {
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    text = QString::number(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    text = numberText(cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    text = bookText(cell.value.text_value);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                    text = bookText(cell.value.text_value).left(10).replace(u'-', u'.');
                    break;
                case FREEXL_CELL_TIME:
                    text = bookText(cell.value.text_value);
                    break;
                default:
                    break;
                }
                if (cell.type != FREEXL_CELL_NULL)
                    any = true;
            }
            cells.append(text);
        }
        if (!any)
            continue;
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        if (!handler(int(r) + 1, cells))
            break;
    }
    freexl_close(handle);
    return true;
}

} // namespace mivo::data
