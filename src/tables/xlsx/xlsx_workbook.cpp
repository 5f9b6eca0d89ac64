// Workbooks through libxlsxwriter (writing), libzip (the archive) and expat (its XML parts).
#include "tables/xlsx_workbook.h"

#include <expat.h>
#include <locale.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

// Parts larger than this are not read: no table comes near it, a zip bomb does.
constexpr zip_uint64_t kMaxPartSize = 64u << 20;
constexpr size_t kMaxRows = 65536;
// Cells beyond this column are not kept; a value there only makes its row too long.
constexpr int kKeptColumns = 64;

// ---------------------------------------------------------------------------------------
// Writing

// libxlsxwriter prints numbers with the C library, which follows the locale the window
// program sets; the workbook's XML needs a decimal point whatever the user's locale.
class CNumericLocale {
  public:
    CNumericLocale() : c_(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr))) {
        if (c_ != static_cast<locale_t>(nullptr)) {
            previous_ = uselocale(c_);
        }
    }
    ~CNumericLocale() {
        if (c_ != static_cast<locale_t>(nullptr)) {
            uselocale(previous_);
            freelocale(c_);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

  private:
    locale_t c_;
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

// A worksheet name as spreadsheets allow it: at most 31 characters, none of []:*?/\.
std::string SheetNameOf(std::string_view name) {
    std::string sheet;
    for (const char c : name) {
        sheet += std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_';
    }
    sheet = Utf8Prefix(sheet, 31);
    return sheet.empty() ? std::string("Arkusz1") : sheet;
}

std::string NumberFormatCode(int decimals) {
    return decimals <= 0 ? std::string("0")
                         : "0." + std::string(static_cast<size_t>(decimals), '0');
}

// A scratch file for the workbook, in the system's temporary folder.
std::string ScratchWorkbookPath() {
    static std::atomic<unsigned> counter{0};
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        folder = "/tmp";
    }
    return (folder / ("serwis-kas-" + DecimalText(static_cast<int64_t>(getpid())) + "-" +
                      DecimalText(static_cast<int64_t>(counter.fetch_add(1))) + ".xlsx"))
        .string();
}

// ---------------------------------------------------------------------------------------
// Reading

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The local part of an expat name "namespace|local", or the name without a namespace.
std::string_view LocalName(const XML_Char* name) {
    std::string_view text(name);
    const size_t bar = text.rfind('|');
    return bar == std::string_view::npos ? text : text.substr(bar + 1);
}

// The attribute of that local name, or null.
const char* Attribute(const XML_Char** attributes, std::string_view local) {
    for (int i = 0; attributes[i] != nullptr; i += 2) {
        if (LocalName(attributes[i]) == local) {
            return attributes[i + 1];
        }
    }
    return nullptr;
}

class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    virtual void Start(std::string_view name, const XML_Char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view) {}
    // Set by a handler that found the part unusable; the parse stops.
    std::string fault;
};

struct ParseState {
    XmlHandler* handler;
    XML_Parser parser;
    bool doctype = false;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* state = static_cast<ParseState*>(data);
    state->handler->Start(LocalName(name), attributes);
    if (!state->handler->fault.empty()) {
        XML_StopParser(state->parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto* state = static_cast<ParseState*>(data);
    state->handler->End(LocalName(name));
    if (!state->handler->fault.empty()) {
        XML_StopParser(state->parser, XML_FALSE);
    }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    static_cast<ParseState*>(data)->handler->Text(
        std::string_view(text, static_cast<size_t>(length)));
}

// Workbook parts never declare a document type; one that does is refused before it can
// define entities.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto* state = static_cast<ParseState*>(data);
    state->doctype = true;
    XML_StopParser(state->parser, XML_FALSE);
}

class Workbook {
  public:
    bool Open(std::string_view bytes, std::string& reason) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source == nullptr) {
            zip_error_fini(&error);
            reason = "nie jest archiwum zip";
            return false;
        }
        archive_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
        zip_error_fini(&error);
        if (!archive_) {
            zip_source_free(source);
            reason = "nie jest archiwum zip";
            return false;
        }
        return true;
    }

    bool Has(const std::string& name) const {
        return zip_name_locate(archive_.get(), name.c_str(), 0) >= 0;
    }

    // Feeds the part through `handler`; false, with the reason, when it is missing,
    // damaged or not well-formed XML.
    bool Parse(const std::string& name, XmlHandler& handler, std::string& reason) {
        const zip_int64_t index = zip_name_locate(archive_.get(), name.c_str(), 0);
        if (index < 0) {
            reason = "brak części " + name;
            return false;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
            ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > kMaxPartSize)) {
            reason = "część " + name + " jest uszkodzona lub za duża";
            return false;
        }
        const std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0));
        if (!file) {
            reason = "nie można rozpakować części " + name;
            return false;
        }
        const std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(
            XML_ParserCreateNS(nullptr, '|'), &XML_ParserFree);
        if (!parser) {
            reason = "brak pamięci";
            return false;
        }
        ParseState state{&handler, parser.get()};
        XML_SetUserData(parser.get(), &state);
        XML_SetElementHandler(parser.get(), OnStart, OnEnd);
        XML_SetCharacterDataHandler(parser.get(), OnText);
        XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
        std::string buffer(1u << 16, '\0');
        zip_uint64_t total = 0;
        while (true) {
            const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
            if (got < 0) {
                reason = "część " + name + " jest uszkodzona";
                return false;
            }
            total += static_cast<zip_uint64_t>(got);
            if (total > kMaxPartSize) {
                reason = "część " + name + " jest za duża";
                return false;
            }
            const bool last = got == 0;
            if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last ? 1 : 0) ==
                XML_STATUS_ERROR) {
                if (!handler.fault.empty()) {
                    reason = handler.fault;
                } else if (state.doctype) {
                    reason = "część " + name + " zawiera deklarację typu dokumentu";
                } else {
                    reason =
                        "część " + name + " nie jest poprawnym XML (wiersz " +
                        DecimalText(static_cast<int64_t>(XML_GetCurrentLineNumber(parser.get()))) +
                        ": " + XML_ErrorString(XML_GetErrorCode(parser.get())) + ")";
                }
                return false;
            }
            if (last) {
                return true;
            }
        }
    }

  private:
    ZipArchive archive_;
};

// A part's relationships: target by id, and the target of the first of a type.
class Relationships : public XmlHandler {
  public:
    explicit Relationships(std::string base) : base_(std::move(base)) {}
    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name != "Relationship") {
            return;
        }
        const char* id = Attribute(attributes, "Id");
        const char* type = Attribute(attributes, "Type");
        const char* target = Attribute(attributes, "Target");
        if (target == nullptr) {
            return;
        }
        const std::string path = Resolve(target);
        if (id != nullptr) {
            byId_.emplace(id, path);
        }
        if (type != nullptr) {
            const std::string_view typeText(type);
            const std::string_view kind = typeText.substr(typeText.rfind('/') + 1);
            byType_.emplace(std::string(kind), path);
        }
    }
    void End(std::string_view) override {}

    std::string ById(const std::string& id) const {
        const auto found = byId_.find(id);
        return found == byId_.end() ? std::string() : found->second;
    }
    std::string ByType(const std::string& type) const {
        const auto found = byType_.find(type);
        return found == byType_.end() ? std::string() : found->second;
    }

  private:
    // A target is relative to the folder of the part that names it, or absolute from the
    // archive's root.
    std::string Resolve(std::string_view target) const {
        if (target.starts_with('/')) {
            return std::string(target.substr(1));
        }
        std::string base = base_;
        while (target.starts_with("../")) {
            target.remove_prefix(3);
            const size_t slash = base.find_last_of('/', base.empty() ? 0 : base.size() - 2);
            base = slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
        }
        return base + std::string(target);
    }

    std::string base_;
    std::map<std::string, std::string> byId_;
    std::map<std::string, std::string> byType_;  // the first of each type
};

class WorkbookSheets : public XmlHandler {
  public:
    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name == "sheet" && firstId.empty()) {
            const char* id = Attribute(attributes, "id");
            if (id != nullptr) {
                firstId = id;
            }
        }
    }
    void End(std::string_view) override {}
    std::string firstId;
};

// Text with the escapes of the workbook format ("_x000D_" for a character) undone.
std::string Unescaped(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned code = 0;
        if (text.substr(i, 2) == "_x" && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr ==
                text.data() + i + 6) {
            AppendUtf8(out, static_cast<char32_t>(code));
            i += 7;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// The shared string table: the text of every item, runs joined, phonetic hints left out.
class SharedStrings : public XmlHandler {
  public:
    void Start(std::string_view name, const XML_Char**) override {
        if (name == "si") {
            inItem_ = true;
            text_.clear();
        } else if (name == "rPh") {
            inPhonetic_ = true;
        } else if (name == "t" && inItem_ && !inPhonetic_) {
            inText_ = true;
        }
    }
    void End(std::string_view name) override {
        if (name == "si") {
            items.push_back(Unescaped(text_));
            inItem_ = false;
        } else if (name == "rPh") {
            inPhonetic_ = false;
        } else if (name == "t") {
            inText_ = false;
        }
    }
    void Text(std::string_view text) override {
        if (inText_) {
            text_ += text;
        }
    }
    std::vector<std::string> items;

  private:
    bool inItem_ = false;
    bool inPhonetic_ = false;
    bool inText_ = false;
    std::string text_;
};

// How a number format shows a number: its decimals, as a percentage or not, or as the
// general format does.
struct NumberShape {
    bool general = true;
    int decimals = 0;
    bool percent = false;
};

NumberShape ShapeOfFormatCode(std::string_view code) {
    NumberShape shape;
    bool inQuotes = false;
    bool inBracket = false;
    bool afterPoint = false;
    bool digits = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (inQuotes) {
            inQuotes = c != '"';
            continue;
        }
        if (inBracket) {
            inBracket = c != ']';
            continue;
        }
        switch (c) {
            case '"':
                inQuotes = true;
                break;
            case '[':
                inBracket = true;
                break;
            case '\\':
            case '_':
            case '*':
                ++i;  // the next character is shown as it is
                break;
            case ';':
                i = code.size();  // only the first section, that of positive numbers
                break;
            case '.':
                afterPoint = true;
                break;
            case '0':
            case '#':
            case '?':
                digits = true;
                if (afterPoint) {
                    ++shape.decimals;
                }
                break;
            case '%':
                shape.percent = true;
                break;
            case 'E':
            case 'e':
            case 'd':
            case 'D':
            case 'm':
            case 'M':
            case 'y':
            case 'Y':
            case 'h':
            case 'H':
            case 's':
            case 'S':
                return NumberShape{};  // scientific, dates and times: shown as stored
            default:
                break;
        }
    }
    shape.general = !digits;
    return shape;
}

NumberShape ShapeOfBuiltInFormat(int id) {
    switch (id) {
        case 1:
        case 3:
        case 37:
        case 38:
            return {false, 0, false};
        case 2:
        case 4:
        case 39:
        case 40:
            return {false, 2, false};
        case 9:
            return {false, 0, true};
        case 10:
            return {false, 2, true};
        default:
            return {};
    }
}

// The number format of every cell style.
class Styles : public XmlHandler {
  public:
    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name == "numFmt") {
            const char* id = Attribute(attributes, "numFmtId");
            const char* code = Attribute(attributes, "formatCode");
            if (id != nullptr && code != nullptr) {
                custom_[NumberOf(id)] = ShapeOfFormatCode(code);
            }
        } else if (name == "cellXfs") {
            inCellFormats_ = true;
        } else if (name == "xf" && inCellFormats_) {
            const char* id = Attribute(attributes, "numFmtId");
            formatOfStyle_.push_back(id == nullptr ? 0 : NumberOf(id));
        }
    }
    void End(std::string_view name) override {
        if (name == "cellXfs") {
            inCellFormats_ = false;
        }
    }

    NumberShape ShapeOfStyle(int style) const {
        if (style < 0 || static_cast<size_t>(style) >= formatOfStyle_.size()) {
            return {};
        }
        const int id = formatOfStyle_[static_cast<size_t>(style)];
        const auto found = custom_.find(id);
        return found != custom_.end() ? found->second : ShapeOfBuiltInFormat(id);
    }

    static int NumberOf(std::string_view text) {
        int number = -1;
        std::from_chars(text.data(), text.data() + text.size(), number);
        return number;
    }

  private:
    std::map<int, NumberShape> custom_;
    std::vector<int> formatOfStyle_;
    bool inCellFormats_ = false;
};

// A decimal text ("-12.3456", digits only around a point) rounded to `decimals`, halves
// away from zero, as spreadsheets show numbers.
std::string RoundedDecimalText(std::string text, int decimals) {
    const bool negative = text.starts_with('-');
    if (negative) {
        text.erase(0, 1);
    }
    size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text += '.';
    }
    const size_t wanted = point + 1 + static_cast<size_t>(decimals);
    if (text.size() < wanted) {
        text.append(wanted - text.size(), '0');
    } else if (text.size() > wanted) {
        const bool up = text[wanted] >= '5';
        text.resize(wanted);
        for (size_t i = wanted; up && i-- > 0;) {
            if (text[i] == '.') {
                continue;
            }
            if (text[i] == '9') {
                text[i] = '0';
                if (i == 0) {
                    text.insert(0, 1, '1');
                }
            } else {
                ++text[i];
                break;
            }
        }
    }
    if (decimals == 0) {
        text.pop_back();  // the point
    }
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + text : text;
}

// A number as a fixed decimal text of at most 15 significant digits, the precision a
// spreadsheet shows, without trailing zeros.
std::string GeneralNumberText(double value) {
    char buffer[400];
    const double magnitude = std::fabs(value);
    int decimals = 0;
    if (magnitude > 0 && magnitude < 1e15) {
        const int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        decimals = std::clamp(15 - integerDigits, 0, 340);
    }
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? std::string("0") : text;
}

std::string NumberText(std::string_view stored, const NumberShape& shape) {
    double value = 0;
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
    if (error != std::errc() || end != stored.data() + stored.size() || !std::isfinite(value)) {
        return std::string(stored);
    }
    if (shape.percent) {
        value *= 100;
    }
    const std::string general = GeneralNumberText(value);
    return shape.general ? general : RoundedDecimalText(general, shape.decimals);
}

// Column index of a cell reference ("B12" is 1), or -1.
int ColumnOfReference(std::string_view reference) {
    int column = 0;
    size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
        column = column * 26 + (reference[i] - 'A' + 1);
        if (column > 16384) {
            return -1;
        }
    }
    return i == 0 ? -1 : column - 1;
}

class Sheet : public XmlHandler {
  public:
    Sheet(const SharedStrings& strings, const Styles& styles)
        : strings_(strings), styles_(styles) {}

    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name == "row") {
            const char* number = Attribute(attributes, "r");
            row_.line = number != nullptr ? Styles::NumberOf(number) : row_.line + 1;
            row_.fields.clear();
            overflow_.clear();
            column_ = -1;
        } else if (name == "c") {
            const char* reference = Attribute(attributes, "r");
            const char* type = Attribute(attributes, "t");
            const char* style = Attribute(attributes, "s");
            column_ = reference != nullptr ? ColumnOfReference(reference) : column_ + 1;
            if (column_ < 0) {
                fault = "nieprawidłowy adres komórki " + std::string(reference);
            }
            type_ = type != nullptr ? type : "n";
            style_ = style != nullptr ? Styles::NumberOf(style) : 0;
            value_.clear();
            inline_.clear();
        } else if (name == "v") {
            inValue_ = true;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            inPhonetic_ = true;
        } else if (name == "t" && inInline_ && !inPhonetic_) {
            inText_ = true;
        }
    }

    void End(std::string_view name) override {
        if (name == "v") {
            inValue_ = false;
        } else if (name == "t") {
            inText_ = false;
        } else if (name == "rPh") {
            inPhonetic_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "c") {
            Place(CellText());
        } else if (name == "row") {
            while (!row_.fields.empty() && row_.fields.back().empty()) {
                row_.fields.pop_back();
            }
            if (!overflow_.empty()) {
                row_.fields.resize(kKeptColumns);
                row_.fields.push_back(overflow_);
            }
            if (!row_.fields.empty()) {
                if (rows.size() >= kMaxRows) {
                    fault = "arkusz ma więcej niż " + DecimalText(kMaxRows) + " wierszy";
                    return;
                }
                rows.push_back(row_);
            }
        }
    }

    void Text(std::string_view text) override {
        if (inValue_) {
            value_ += text;
        } else if (inText_) {
            inline_ += text;
        }
    }

    std::vector<TableFileRow> rows;

  private:
    std::string CellText() {
        if (type_ == "s") {
            const int index = Styles::NumberOf(value_);
            if (index < 0 || static_cast<size_t>(index) >= strings_.items.size()) {
                fault = "komórka wskazuje nieistniejący tekst " + value_;
                return {};
            }
            return strings_.items[static_cast<size_t>(index)];
        }
        if (type_ == "inlineStr") {
            return Unescaped(inline_);
        }
        if (type_ == "n") {
            return value_.empty() ? std::string()
                                  : NumberText(value_, styles_.ShapeOfStyle(style_));
        }
        return Unescaped(value_);  // formula texts, truth values, errors and dates as stored
    }

    void Place(std::string text) {
        if (column_ >= kKeptColumns) {
            if (overflow_.empty()) {
                overflow_ = std::move(text);
            }
            return;
        }
        const auto column = static_cast<size_t>(column_);
        if (row_.fields.size() <= column) {
            row_.fields.resize(column + 1);
        }
        row_.fields[column] = std::move(text);
    }

    const SharedStrings& strings_;
    const Styles& styles_;
    TableFileRow row_;
    std::string overflow_;
    int column_ = -1;
    std::string type_;
    int style_ = 0;
    std::string value_;
    std::string inline_;
    bool inValue_ = false;
    bool inInline_ = false;
    bool inPhonetic_ = false;
    bool inText_ = false;
};

std::string FolderOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return FolderOf(part) + "_rels/" + name + ".rels";
}

}  // namespace

bool WorkbooksSupported() {
    return true;
}

std::string WorkbooksUnsupportedMessage() {
    return {};
}

WriteResult WriteWorkbook(const std::string& path, std::string_view sheetName,
                          const std::vector<std::vector<WorkbookCell>>& rows,
                          const std::vector<bool>& textColumns) {
    const std::string scratch = ScratchWorkbookPath();
    lxw_error error = LXW_NO_ERROR;
    {
        const CNumericLocale cLocale;
        lxw_workbook* workbook = workbook_new(scratch.c_str());
        if (workbook == nullptr) {
            return WriteFailure(path, 0, "nie można utworzyć skoroszytu");
        }
        const std::string name = SheetNameOf(sheetName);
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.c_str());
        lxw_format* text = workbook_add_format(workbook);
        format_set_num_format(text, "@");
        std::map<int, lxw_format*> numbers;
        for (size_t c = 0; c < textColumns.size(); ++c) {
            if (textColumns[c]) {
                worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     LXW_DEF_COL_WIDTH, text);
            }
        }
        for (size_t r = 0; r < rows.size() && error == LXW_NO_ERROR; ++r) {
            for (size_t c = 0; c < rows[r].size() && error == LXW_NO_ERROR; ++c) {
                const WorkbookCell& cell = rows[r][c];
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c);
                if (cell.text.empty()) {
                    continue;
                }
                if (cell.number) {
                    double value = 0;
                    std::from_chars(cell.text.data(), cell.text.data() + cell.text.size(), value);
                    lxw_format*& format = numbers[cell.decimals];
                    if (format == nullptr) {
                        format = workbook_add_format(workbook);
                        format_set_num_format(format, NumberFormatCode(cell.decimals).c_str());
                    }
                    error = worksheet_write_number(sheet, row, col, value, format);
                } else {
                    error = worksheet_write_string(sheet, row, col, cell.text.c_str(), text);
                }
            }
        }
        const lxw_error closed = workbook_close(workbook);
        if (error == LXW_NO_ERROR) {
            error = closed;
        }
    }
    std::string bytes;
    const bool read = error == LXW_NO_ERROR && ReadWholeFile(scratch, bytes);
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    if (error != LXW_NO_ERROR) {
        return WriteFailure(path, 0, std::string("błąd zapisu skoroszytu: ") + lxw_strerror(error));
    }
    if (!read) {
        return WriteFailure(path, 0, "nie można odczytać zapisanego skoroszytu");
    }
    return WriteFileAtomically(path, bytes);
}

WorkbookReadResult ReadFirstWorksheet(std::string_view bytes) {
    WorkbookReadResult result;
    Workbook workbook;
    if (!workbook.Open(bytes, result.reason)) {
        return result;
    }
    std::string workbookPart = "xl/workbook.xml";
    if (workbook.Has("_rels/.rels")) {
        Relationships root("");
        if (!workbook.Parse("_rels/.rels", root, result.reason)) {
            return result;
        }
        if (!root.ByType("officeDocument").empty()) {
            workbookPart = root.ByType("officeDocument");
        }
    }
    WorkbookSheets sheets;
    if (!workbook.Parse(workbookPart, sheets, result.reason)) {
        return result;
    }
    Relationships parts(FolderOf(workbookPart));
    const std::string partsName = RelationshipsOf(workbookPart);
    if (workbook.Has(partsName) && !workbook.Parse(partsName, parts, result.reason)) {
        return result;
    }
    std::string sheetPart = parts.ById(sheets.firstId);
    if (sheetPart.empty()) {
        sheetPart = FolderOf(workbookPart) + "worksheets/sheet1.xml";
    }
    if (!workbook.Has(sheetPart)) {
        result.reason = "brak arkusza";
        return result;
    }
    SharedStrings strings;
    std::string stringsPart = parts.ByType("sharedStrings");
    if (stringsPart.empty() && workbook.Has(FolderOf(workbookPart) + "sharedStrings.xml")) {
        stringsPart = FolderOf(workbookPart) + "sharedStrings.xml";
    }
    if (!stringsPart.empty() && !workbook.Parse(stringsPart, strings, result.reason)) {
        return result;
    }
    Styles styles;
    std::string stylesPart = parts.ByType("styles");
    if (stylesPart.empty() && workbook.Has(FolderOf(workbookPart) + "styles.xml")) {
        stylesPart = FolderOf(workbookPart) + "styles.xml";
    }
    if (!stylesPart.empty() && !workbook.Parse(stylesPart, styles, result.reason)) {
        return result;
    }
    Sheet sheet(strings, styles);
    if (!workbook.Parse(sheetPart, sheet, result.reason)) {
        return result;
    }
    result.rows = std::move(sheet.rows);
    result.ok = true;
    return result;
}

}  // namespace kasa
