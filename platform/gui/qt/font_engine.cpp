#include "platform/gui/qt/font_engine.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define PW_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PW_LSAN 1
#endif
#endif
#ifdef PW_LSAN
// fontconfig keeps its configuration for the whole process and never frees it, and so does D-Bus, which
// the toolkit reaches on an X11 display. Weak, so a program with its own suppressions keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
#endif

namespace pw::gui::qt {
namespace {

// Fonts need a GUI application object. The program makes its own before drawing; headless users
// (tests, tools) get one made here on first use.
// The program makes its application object before drawing; headless users (tests, tools) get one made
// here on first use. Returns the application in use.
QCoreApplication* EnsureApplication() {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    if (QCoreApplication* app = QCoreApplication::instance()) return app;
    static int argc = 1;
    static char name[] = "pathweaver";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv); // lives for the rest of the process
}

QString FamilyFor(const LOGFONT& lf) {
    const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    auto is = [&](const char* name) {
        return QString::fromUtf8(face).compare(name, Qt::CaseInsensitive) == 0;
    };
    for (const char* mono : {"Courier New", "Courier", "Fixedsys", "Terminal", "Lucida Console", "Consolas",
                             "DejaVu Sans Mono", "Monospace"})
        if (is(mono)) return QStringLiteral("DejaVu Sans Mono");
    for (const char* serif : {"Times New Roman", "Times", "Georgia", "DejaVu Serif", "Serif"})
        if (is(serif)) return QStringLiteral("DejaVu Serif");
    if (face.empty() && (lf.lfPitchAndFamily & 3) == FIXED_PITCH) return QStringLiteral("DejaVu Sans Mono");
    return QStringLiteral("DejaVu Sans");
}

QFont MakeFont(const LOGFONT& lf, int pixelSize) {
    QFont f(FamilyFor(lf));
    f.setPixelSize(std::max(1, pixelSize));
    f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(lf.lfWeight ? lf.lfWeight : FW_NORMAL, 1, 1000)));
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// lfHeight < 0 is the character (em) height; > 0 the cell height; 0 a default.
int PixelSize(const LOGFONT& lf) {
    if (lf.lfHeight < 0) return -lf.lfHeight;
    if (lf.lfHeight == 0) return 11;
    const QFontMetrics probe(MakeFont(lf, lf.lfHeight));
    const int cell = std::max(1, probe.ascent() + probe.descent());
    return std::max(1, static_cast<int>(std::lround(double(lf.lfHeight) * lf.lfHeight / cell)));
}

FontInfo ComputeMetrics(const QFont& f) {
    const QFontMetrics fm(f);
    FontInfo info;
    info.ascent = fm.ascent();
    info.descent = fm.descent();
    info.pixelSize = f.pixelSize();
    info.externalLeading = std::max(0, fm.leading());
    info.aveCharWidth = fm.averageCharWidth();
    info.maxCharWidth = fm.maxWidth();
    info.underlinePos = std::max(1, fm.underlinePos());
    info.strikeOutPos = fm.strikeOutPos();
    info.lineWidth = std::max(1, fm.lineWidth());
    const QFontInfo real(f);
    info.fixedPitch = real.fixedPitch();
    info.family = real.family().toStdString();
    return info;
}

// The text drawn by the toolkit, one byte per pixel (1 where a glyph covers it).
std::vector<uint8_t> Draw(const QFont& font, const QString& text, int width, int height, int originX,
                          int baseline) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPointF(originX, baseline), text);
    }
    std::vector<uint8_t> bits(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            bits[static_cast<size_t>(y) * width + x] = (row[x] >> 24) >= 128 ? 1 : 0;
    }
    return bits;
}

// Advances of single characters and whether two neighbours shape apart (no ligature joins them), learnt
// once per font, so that the positions of every character of a text cost one pass over it.
class Advances {
public:
    explicit Advances(const QFont& font) : font_(font), metrics_(font) {}
    const QFont& Font() const { return font_; }

    std::vector<int> Positions(const QString& s) {
        std::lock_guard lock(mutex_);
        return PositionsLocked(s);
    }

    // The text drawn from each character's own mask when the toolkit would place them exactly so: whole
    // pixel advances, no ligatures, nothing that shapes with its neighbours, no lines through the text.
    // Drawing a label then costs a few copies instead of a painter, a shaping and an image each time.
    // False when the text needs the toolkit.
    bool DrawFromGlyphs(const QString& s, std::vector<uint8_t>& bits, int width, int height, int originX,
                        int baseline) {
        if (font_.underline() || font_.strikeOut()) return false;
        std::lock_guard lock(mutex_);
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (Special(s[i]) || (i > 0 && !Apart(s[i - 1], s[i]))) return false;
            const double a = Advance(s[i]);
            if (a != std::floor(a)) return false;
        }
        int pen = originX;
        for (qsizetype i = 0; i < s.size(); ++i) {
            Place(GlyphOf(s[i]), bits, width, height, pen, baseline);
            pen += static_cast<int>(Advance(s[i]));
        }
        return true;
    }

    // The advance of a text of plain characters with whole-pixel widths, summed without shaping it;
    // false when the text needs the toolkit. Neighbours that shape together (a ligature such as "fi", a
    // kerned pair) are measured as one short run, so a name holding "profiling" stays on this path.
    bool PlainWidth(QStringView s, int& width) {
        std::lock_guard lock(mutex_);
        if (KnownWidth(s, width)) return true;
        double sum = 0;
        for (qsizetype start = 0, end = 0; start < s.size(); start = end) {
            if (Special(s[start])) return false;
            for (end = start + 1; end < s.size() && !Apart(s[end - 1], s[end]); ++end)
                if (Special(s[end]) || end - start >= kLongestRun) return false;
            const double a =
                end - start == 1 ? Advance(s[start]) : RunAdvance(s.mid(start, end - start).toString());
            if (a != std::floor(a)) return false;
            sum += a;
        }
        width = static_cast<int>(sum);
        return true;
    }

    // The sum of a Latin-1 text whose characters and neighbouring pairs have all been met before, read
    // from the tables alone: a long log measures each of its lines, mostly of characters seen already.
    // False (and nothing learnt) at the first character or pair not yet known to stand apart.
    bool KnownWidth(QStringView s, int& width) const {
        int sum = 0;
        char16_t before = 0;
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            if (c >= kTable || wholeAdvance_[c] < 0) return false;
            if (i > 0 && pairTable_[static_cast<size_t>(before) * kTable + c] != 1) return false;
            sum += wholeAdvance_[c];
            before = c;
        }
        width = sum;
        return true;
    }

private:
    // One character's covered pixels, placed relative to its pen position on the baseline.
    struct Glyph {
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<uint8_t> bits;
    };
    static constexpr qsizetype kLongestRun = 64;
    static constexpr double kTabStop = 80; // the toolkit's default tab stop distance

    std::vector<int> PositionsLocked(const QString& s) {
        std::vector<double> x(static_cast<size_t>(s.size()) + 1, 0.0);
        // Everything up to the last safe boundary adds up; a run after it that shapes as a whole (a
        // ligature, marks, surrogates) is measured as a whole, from there.
        qsizetype safe = 0;
        for (qsizetype i = 1; i <= s.size(); ++i) {
            const QChar c = s[i - 1];
            if (i >= 2 && Apart(s[i - 2], c) && (i == 2 || Apart(s[i - 3], s[i - 2]))) safe = i - 1;
            if (i - 1 - safe > kLongestRun) safe = i - 1; // no font joins this many; keeps it linear
            if (c == QChar(u'\t')) {
                // A tab goes to the next stop, counted from the start of the text.
                x[i] = (std::floor(x[i - 1] / kTabStop) + 1) * kTabStop;
                safe = i;
            } else if (safe == i - 1 && !Special(c)) {
                x[i] = x[i - 1] + Advance(c);
            } else {
                x[i] = x[safe] + metrics_.horizontalAdvance(s.mid(safe, i - safe));
            }
        }
        std::vector<int> pos(x.size());
        for (size_t i = 0; i < x.size(); ++i)
            pos[i] = qRound(x[i]);
        return pos;
    }

    // Characters whose width depends on their neighbours or that do not stand alone.
    static bool Special(QChar c) {
        static const std::vector<bool> latin = [] {
            std::vector<bool> t(kTable);
            for (char16_t u = 0; u < kTable; ++u)
                t[u] = SpecialByCategory(QChar(u));
            return t;
        }();
        return c.unicode() < kTable ? latin[c.unicode()] : SpecialByCategory(c);
    }

    static bool SpecialByCategory(QChar c) {
        return c.isSurrogate() || c.unicode() < 32 || c.category() == QChar::Mark_NonSpacing ||
               c.category() == QChar::Mark_SpacingCombining || c.category() == QChar::Mark_Enclosing ||
               c.direction() == QChar::DirR || c.direction() == QChar::DirAL;
    }

    double Advance(QChar c) {
        if (c.unicode() < kTable) {
            double& known = singleTable_[c.unicode()];
            if (known < 0) {
                known = metrics_.horizontalAdvance(QString(c));
                if (!Special(c) && known == std::floor(known) && known <= INT16_MAX)
                    wholeAdvance_[c.unicode()] = static_cast<int16_t>(known);
            }
            return known;
        }
        auto it = single_.find(c.unicode());
        if (it == single_.end())
            it = single_.emplace(c.unicode(), metrics_.horizontalAdvance(QString(c))).first;
        return it->second;
    }

    // A run of characters that shape together, measured once and remembered while few are known.
    double RunAdvance(const QString& run) {
        auto it = runs_.find(run);
        if (it != runs_.end()) return it->second;
        const double a = metrics_.horizontalAdvance(run);
        if (runs_.size() < kKeptRuns) runs_.emplace(run, a);
        return a;
    }

    bool Apart(QChar a, QChar b) {
        if (Special(a) || Special(b) || a == QChar(u'\t') || b == QChar(u'\t')) return false;
        // The pairs of plain text are looked up in a table: every character of every text asks.
        int8_t* known = a.unicode() < kTable && b.unicode() < kTable
                            ? &pairTable_[static_cast<size_t>(a.unicode()) * kTable + b.unicode()]
                            : nullptr;
        if (known && *known >= 0) return *known != 0;
        const uint32_t key = (static_cast<uint32_t>(a.unicode()) << 16) | b.unicode();
        auto it = pairs_.find(key);
        if (it == pairs_.end()) {
            const QString both = QString(a) + b;
            it = pairs_
                     .emplace(key,
                              metrics_.horizontalAdvance(both) == Advance(a) + Advance(b) && DrawnApart(a, b))
                     .first;
        }
        if (known) *known = it->second ? 1 : 0;
        return it->second;
    }

    // Whether the two drawn side by side are the two drawn alone: a ligature of the same width is not.
    bool DrawnApart(QChar a, QChar b) {
        const double advance = Advance(a);
        if (advance != std::floor(advance)) return true; // never drawn from masks anyway
        const int pad = GlyphPad(), width = static_cast<int>(advance + Advance(b)) + 2 * pad;
        const std::vector<uint8_t> both = Draw(font_, QString(a) + b, width, 2 * pad, pad, pad);
        std::vector<uint8_t> apart(both.size(), 0);
        Place(GlyphOf(a), apart, width, 2 * pad, pad, pad);
        Place(GlyphOf(b), apart, width, 2 * pad, pad + static_cast<int>(advance), pad);
        return both == apart;
    }

    static void Place(const Glyph& g, std::vector<uint8_t>& bits, int width, int height, int pen,
                      int baseline) {
        const int left = pen + g.left, top = baseline + g.top;
        for (int y = std::max(0, -top); y < g.height && top + y < height; ++y) {
            const uint8_t* from = g.bits.data() + static_cast<size_t>(y) * g.width;
            uint8_t* to = bits.data() + static_cast<size_t>(top + y) * width;
            for (int x = std::max(0, -left); x < g.width && left + x < width; ++x)
                to[left + x] |= from[x];
        }
    }

    // Room all round a character for overhangs, as large as the font itself.
    int GlyphPad() const {
        return std::max(4, 2 * (metrics_.height() > 0 ? static_cast<int>(metrics_.height()) : 16));
    }

    const Glyph& GlyphOf(QChar c) {
        auto it = glyphs_.find(c.unicode());
        if (it != glyphs_.end()) return it->second;
        const int pad = GlyphPad();
        const int boxWidth = static_cast<int>(Advance(c)) + 2 * pad, boxHeight = 2 * pad;
        const std::vector<uint8_t> all = Draw(font_, QString(c), boxWidth, boxHeight, pad, pad);
        int x0 = boxWidth, y0 = boxHeight, x1 = 0, y1 = 0;
        for (int y = 0; y < boxHeight; ++y)
            for (int x = 0; x < boxWidth; ++x)
                if (all[static_cast<size_t>(y) * boxWidth + x]) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y);
                    x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
                }
        Glyph g;
        if (x1 > x0) {
            g.left = x0 - pad, g.top = y0 - pad, g.width = x1 - x0, g.height = y1 - y0;
            g.bits.resize(static_cast<size_t>(g.width) * g.height);
            for (int y = 0; y < g.height; ++y)
                std::copy_n(all.begin() + static_cast<ptrdiff_t>((y0 + y) * boxWidth + x0), g.width,
                            g.bits.begin() + static_cast<ptrdiff_t>(y) * g.width);
        }
        return glyphs_.emplace(c.unicode(), std::move(g)).first->second;
    }

    std::mutex mutex_;
    QFont font_;
    std::unordered_map<char16_t, Glyph> glyphs_;
    QFontMetricsF metrics_;
    static constexpr char16_t kTable = 256;
    std::vector<double> singleTable_ = std::vector<double>(kTable, -1.0);
    // The advances of singleTable_ that are whole pixels, of characters that stand alone; -1 for others.
    std::vector<int16_t> wholeAdvance_ = std::vector<int16_t>(kTable, -1);
    std::vector<int8_t> pairTable_ = std::vector<int8_t>(static_cast<size_t>(kTable) * kTable, -1);
    std::unordered_map<char16_t, double> single_;
    std::unordered_map<uint32_t, bool> pairs_;
    static constexpr size_t kKeptRuns = 4096;
    std::unordered_map<QString, double> runs_;
};

struct CachedFont {
    QFont font;
    FontInfo info;
    std::shared_ptr<Advances> advances;
};

// Fonts are made once per distinct LOGFONT: drawing code asks for the same few fonts over and over.
using FontCache = std::map<std::string, std::unique_ptr<CachedFont>, std::less<>>;

// The cache entry of the font for the application, made when missing; the caller holds the cache's lock.
const CachedFont& CachedLocked(const LOGFONT& lf, QCoreApplication* app);
std::mutex& CacheMutex() {
    static std::mutex mutex;
    return mutex;
}

CachedFont Cached(const LOGFONT& lf) {
    QCoreApplication* app = EnsureApplication();
    std::lock_guard lock(CacheMutex());
    return CachedLocked(lf, app);
}

// Only the advances: measuring a text copies no font and no name.
std::shared_ptr<Advances> AdvancesOf(const LOGFONT& lf) {
    QCoreApplication* app = EnsureApplication();
    std::lock_guard lock(CacheMutex());
    return CachedLocked(lf, app).advances;
}

const CachedFont& CachedLocked(const LOGFONT& lf, QCoreApplication* app) {
    static FontCache* cache = nullptr;
    static QCoreApplication* cacheApp = nullptr;
    // Fonts of an application that has gone are never touched again, not even to destroy them.
    static auto* retired = new std::vector<FontCache*>;
    const std::string_view key(reinterpret_cast<const char*>(&lf), sizeof lf);
    if (!cache || cacheApp != app) {
        if (cache) retired->push_back(cache);
        cache = new FontCache;
        cacheApp = app;
        // A later application may reuse the address: forget the pairing when this one goes.
        QObject::connect(app, &QObject::destroyed, [] {
            std::lock_guard relock(CacheMutex());
            cacheApp = nullptr;
        });
    }
    auto it = cache->find(key);
    if (it == cache->end()) {
        if (cache->size() > 256) cache->clear();
        auto entry = std::make_unique<CachedFont>();
        entry->font = MakeFont(lf, PixelSize(lf));
        if (lf.lfWidth > 0) {
            // lfWidth asks for an average character width: stretch the face to it.
            const int natural = QFontMetrics(entry->font).averageCharWidth();
            if (natural > 0) entry->font.setStretch(std::clamp<int>(lf.lfWidth * 100 / natural, 1, 4000));
        }
        entry->info = ComputeMetrics(entry->font);
        entry->advances = std::make_shared<Advances>(entry->font);
        it = cache->emplace(key, std::move(entry)).first;
    }
    return *it->second;
}

QStringView ToQStringView(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

FontInfo Metrics(const LOGFONT& lf) {
    // Only the figures: every measure of a text asks for them, and a copy of the font is not free.
    QCoreApplication* app = EnsureApplication();
    std::lock_guard lock(CacheMutex());
    return CachedLocked(lf, app).info;
}

std::vector<int> CharPositions(const LOGFONT& lf, std::u16string_view text) {
    return AdvancesOf(lf)->Positions(ToQString(text));
}

int SummedTextWidth(const LOGFONT& lf, std::u16string_view text) {
    int width = 0;
    return AdvancesOf(lf)->PlainWidth(ToQStringView(text), width) ? width : -1;
}

int TextWidth(const LOGFONT& lf, std::u16string_view text) {
    const std::shared_ptr<Advances> advances = AdvancesOf(lf);
    int width = 0;
    if (advances->PlainWidth(ToQStringView(text), width)) return width;
    return QFontMetrics(advances->Font()).horizontalAdvance(ToQString(text));
}

GlyphMask RenderText(const LOGFONT& lf, std::u16string_view text, int width, int height, int originX,
                     int baseline) {
    GlyphMask m;
    if (width <= 0 || height <= 0) return m;
    const std::shared_ptr<Advances> advances = AdvancesOf(lf);
    const QString s = ToQString(text);
    m.width = width;
    m.height = height;
    m.bits.assign(static_cast<size_t>(width) * height, 0);
    if (!advances->DrawFromGlyphs(s, m.bits, width, height, originX, baseline))
        m.bits = Draw(advances->Font(), s, width, height, originX, baseline);
    return m;
}

GlyphMask RenderTextWhole(const LOGFONT& lf, std::u16string_view text, int width, int height, int originX,
                          int baseline) {
    GlyphMask m;
    if (width <= 0 || height <= 0) return m;
    m.width = width;
    m.height = height;
    m.bits = Draw(Cached(lf).font, ToQString(text), width, height, originX, baseline);
    return m;
}

int TextWidthWhole(const LOGFONT& lf, std::u16string_view text) {
    return QFontMetrics(Cached(lf).font).horizontalAdvance(ToQString(text));
}

} // namespace pw::gui::qt
