// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_renderer.h"

#include "shell/unit_captions.h"

#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "report/plot_figure.h"
#include "shell/csv.h"
#include "shell/errors.h"

namespace kambrix::report {
namespace {

constexpr double kBodyPt = 9.5;
constexpr double kHeaderPt = 11;
constexpr double kSectionPt = 12;
constexpr double kSmallPt = 7.5;
constexpr double kTablePt = 8.5;  // type of a table that fits the page
constexpr double kSmallestTablePt = 6;
constexpr double kTableStepPt = 0.5;
constexpr double kMarginMm = 15;
constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QFont font(double pt, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pt);
    f.setBold(bold);
    // No ligatures: a text copied or searched in the PDF ("Runoff", "flow") keeps its own
    // letters (shaping would join "ff", "fi", "fl" into one glyph).
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// One thing painted on a page, in device units.
struct Item {
    enum class Kind { Text, Line, Fill, Figure };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    QFont font;
    int flags = 0;
    QColor colour = Qt::black;
    const Figure* figure = nullptr;
};
using Page = std::vector<Item>;

class Layout {
  public:
    Layout(const Document& doc, QPaintDevice& device) : doc_(doc), device_(device) {
        dpi_ = device.logicalDpiY();
        W_ = device.width();
        H_ = device.height();
        headerH_ = metrics(font(kHeaderPt, true)).height() + mm(3);
        footerH_ = metrics(font(kSmallPt)).height() + mm(3);
        top_ = headerH_ + mm(2);
        bottom_ = H_ - footerH_;
        run();
    }

    std::vector<Page> pages;
    double width() const { return W_; }
    double height() const { return H_; }
    double headerHeight() const { return headerH_; }
    double footerHeight() const { return footerH_; }
    double mm(double v) const { return v * dpi_ / kMmPerInch; }
    QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, &device_); }

  private:
    void run() {
        newPage();
        if (!doc_.subtitle.empty()) {
            paragraph(qs(doc_.subtitle), font(kBodyPt), QColor(0x44, 0x44, 0x44));
        }
        for (const auto& s : doc_.sections) {
            section(s);
        }
    }

    void newPage() {
        pages.emplace_back();
        y_ = top_;
    }
    // Starts a new page unless `h` still fits (a block taller than a page starts a page and
    // runs over its foot: nothing of it is dropped).
    void ensure(double h) {
        if (y_ + h > bottom_ && y_ > top_) {
            newPage();
        }
    }
    void text(const QRectF& r, const QString& t, const QFont& f, int flags,
              QColor colour = Qt::black) {
        Item i;
        i.rect = r;
        i.text = t;
        i.font = f;
        i.flags = flags;
        i.colour = colour;
        pages.back().push_back(i);
    }
    void line(double x1, double y, double x2) {
        Item i;
        i.kind = Item::Kind::Line;
        i.rect = QRectF(QPointF(x1, y), QPointF(x2, y));
        pages.back().push_back(i);
    }
    void fill(const QRectF& r, QColor colour) {
        Item i;
        i.kind = Item::Kind::Fill;
        i.rect = r;
        i.colour = colour;
        pages.back().push_back(i);
    }
    double wrappedHeight(const QString& t, const QFont& f, double w) const {
        return metrics(f).boundingRect(QRectF(0, 0, w, 1e9), Qt::TextWordWrap, t).height();
    }

    void paragraph(const QString& t, const QFont& f, QColor colour = Qt::black) {
        const double h = wrappedHeight(t, f, W_);
        ensure(h);
        text(QRectF(0, y_, W_, h), t, f, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, colour);
        y_ += h + mm(1.5);
    }

    void section(const Section& s) {
        const QFont title = font(kSectionPt, true);
        const double h = metrics(title).height();
        // The title stays with at least three lines of what follows it, or with the whole of
        // a figure that follows it.
        double next = 3 * metrics(font(kBodyPt)).height();
        if (!s.blocks.empty()) {
            if (const auto* f = std::get_if<Figure>(&s.blocks.front())) {
                const auto [figureH, captionH] = figureExtent(*f);
                next = figureH + captionH + mm(1);
            }
        }
        ensure(h + mm(3) + mm(1.5) + next);
        y_ += mm(3);
        text(QRectF(0, y_, W_, h), qs(s.title), title, Qt::AlignLeft | Qt::AlignVCenter);
        y_ += h + mm(1.5);
        for (const auto& b : s.blocks) {
            if (const auto* kv = std::get_if<KeyValues>(&b)) {
                keyValues(*kv);
            } else if (const auto* t = std::get_if<Table>(&b)) {
                table(*t);
            } else if (const auto* p = std::get_if<Paragraph>(&b)) {
                paragraph(qs(p->text), font(kBodyPt));
            } else if (const auto* f = std::get_if<Figure>(&b)) {
                figure(*f);
            }
        }
    }

    // The figure and its caption stay together on one page; a figure taller than the page
    // is made as tall as a page allows.
    // The height of the figure's box and of its caption.
    std::pair<double, double> figureExtent(const Figure& f) const {
        const QString caption = qs(f.caption);
        const double captionH =
            caption.isEmpty() ? 0 : wrappedHeight(caption, font(kSmallPt), W_) + mm(1);
        const double h = std::min(mm(std::max(f.height_mm, 10.0)), bottom_ - top_ - captionH);
        return {h, captionH};
    }

    void figure(const Figure& f) {
        const QFont captionFont = font(kSmallPt);
        const QString caption = qs(f.caption);
        const auto [h, captionH] = figureExtent(f);
        ensure(h + captionH);
        Item i;
        i.kind = Item::Kind::Figure;
        i.rect = QRectF(0, y_, W_, h);
        i.figure = &f;
        pages.back().push_back(i);
        y_ += h + mm(1);
        if (!caption.isEmpty()) {
            text(QRectF(0, y_, W_, captionH), caption, captionFont,
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QColor(0x44, 0x44, 0x44));
            y_ += captionH;
        }
        y_ += mm(1.5);
    }

    void keyValues(const KeyValues& kv) {
        const QFont keyFont = font(kBodyPt);
        const QFont valueFont = font(kBodyPt, true);
        double keyW = 0;
        for (const auto& [k, v] : kv.pairs) {
            keyW = std::max(keyW, metrics(keyFont).horizontalAdvance(qs(k)));
        }
        keyW = std::min(keyW + mm(4), W_ * 0.45);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        for (const auto& [k, v] : kv.pairs) {
            const double h = std::max(wrappedHeight(qs(k), keyFont, keyW - mm(2)),
                                      wrappedHeight(qs(v), valueFont, W_ - keyW));
            ensure(h);
            text(QRectF(0, y_, keyW - mm(2), h), qs(k), keyFont, flags, QColor(0x44, 0x44, 0x44));
            text(QRectF(keyW, y_, W_ - keyW, h), qs(v), valueFont, flags);
            y_ += h + mm(0.6);
        }
        y_ += mm(1);
    }

    void table(const Table& t) {
        const std::size_t n = t.headings.size();
        if (n == 0) {
            return;
        }
        const double pad = t.oneLineRows ? mm(0.6) : mm(1.6);
        auto alignOf = [&](std::size_t c) {
            const bool right = c < t.align.size() && t.align[c] == Align::Right;
            return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        };
        auto cell = [&](const std::vector<std::string>& r, std::size_t c) {
            return c < r.size() ? qs(r[c]) : QString();
        };
        // The widest content of each column, and its longest word (headings wrap, so only
        // their longest word counts). The type is the largest in which the table fits the
        // page, the cells of its wrapping columns wrapped where needed: every column keeps
        // at least its longest word (a column that does not wrap, its widest cell) and the
        // rest of the width goes to the wrapping columns by what they lack. A table that does
        // not fit even so is set in a smaller type, down to 6 pt, before any cell is
        // shortened.
        auto longestWord = [](const QFontMetricsF& fm, const QString& text) {
            double w = 0;
            for (const auto& word : text.split(' ', Qt::SkipEmptyParts)) {
                w = std::max(w, fm.horizontalAdvance(word));
            }
            return w;
        };
        double pt = kTablePt;
        std::vector<double> widths(n);
        std::vector<double> least(n);
        double total = 0;
        double leastTotal = 0;
        for (;;) {
            const QFontMetricsF body = metrics(font(pt));
            const QFontMetricsF bold = metrics(font(pt, true));
            total = 0;
            leastTotal = 0;
            for (std::size_t c = 0; c < n; ++c) {
                double w = longestWord(bold, qs(t.headings[c]));
                double word = w;
                for (const auto& r : t.rows) {
                    w = std::max(w, body.horizontalAdvance(cell(r, c)));
                    word = std::max(word, longestWord(body, cell(r, c)));
                }
                if (!t.totals.empty()) {
                    w = std::max(w, bold.horizontalAdvance(cell(t.totals, c)));
                    word = std::max(word, longestWord(bold, cell(t.totals, c)));
                }
                widths[c] = w + 2 * pad + 1;
                const bool sentences = c < t.wrap.size() && t.wrap[c];
                least[c] = sentences ? std::min(word + 2 * pad + 1, widths[c]) : widths[c];
                total += widths[c];
                leastTotal += least[c];
            }
            if (total <= W_ || (leastTotal <= W_ && !t.oneLineRows) || pt <= kSmallestTablePt) {
                break;
            }
            pt -= kTableStepPt;
        }
        const bool wrap = total > W_ && leastTotal <= W_;
        if (wrap) {
            const double spare = W_ - leastTotal;
            const double wanted = total - leastTotal;
            for (std::size_t c = 0; c < n; ++c) {
                widths[c] = least[c] + (widths[c] - least[c]) * spare / wanted;
            }
        }
        if (!wrap) {
            for (auto& w : widths) {
                w *= W_ / total;  // the table spans the page; beyond 6 pt cells are shortened
            }
        }
        const QFont body = font(pt);
        const QFont bold = font(pt, true);
        double headH = 0;
        for (std::size_t c = 0; c < n; ++c) {
            headH = std::max(headH, wrappedHeight(qs(t.headings[c]), bold, widths[c] - 2 * pad));
        }
        headH += 2 * pad;
        const double lineH = metrics(body).height() + pad;
        auto heightOf = [&](const std::vector<std::string>& cells, const QFont& f) {
            double h = lineH;
            if (wrap) {
                for (std::size_t c = 0; c < n; ++c) {
                    h = std::max(h, wrappedHeight(cell(cells, c), f, widths[c] - 2 * pad) + pad);
                }
            }
            return h;
        };

        auto heading = [&] {
            fill(QRectF(0, y_, W_, headH), QColor(0xe4, 0xe4, 0xe4));
            double x = 0;
            for (std::size_t c = 0; c < n; ++c) {
                text(QRectF(x + pad, y_, widths[c] - 2 * pad, headH), qs(t.headings[c]), bold,
                     alignOf(c) | Qt::TextWordWrap);
                x += widths[c];
            }
            y_ += headH;
            line(0, y_, W_);
        };
        auto row = [&](const std::vector<std::string>& cells, const QFont& f, double h) {
            double x = 0;
            const QFontMetricsF fm = metrics(f);
            for (std::size_t c = 0; c < n; ++c) {
                const double inner = widths[c] - 2 * pad;
                if (wrap) {
                    text(QRectF(x + pad, y_, inner, h), cell(cells, c), f,
                         alignOf(c) | Qt::TextWordWrap);
                } else {
                    text(QRectF(x + pad, y_, inner, h),
                         fm.elidedText(cell(cells, c), Qt::ElideRight, inner), f, alignOf(c));
                }
                x += widths[c];
            }
            y_ += h;
        };

        // The caption stays with the table's last row.
        const double captionH =
            t.caption.empty()
                ? 0
                : wrappedHeight(qs(t.caption), font(kSmallPt), W_) + mm(1.5) + mm(1.5);
        std::vector<double> rowH;
        double wholeH = headH + captionH + (t.totals.empty() ? 0 : heightOf(t.totals, bold));
        for (const auto& r : t.rows) {
            rowH.push_back(heightOf(r, body));
            wholeH += rowH.back();
        }
        // A table that fits a page is not split; a longer one breaks with at least two rows
        // (or its totals) and its caption on the next page.
        ensure(wholeH <= bottom_ - top_ ? wholeH : headH + 2 * lineH);
        heading();
        const std::size_t count = t.rows.size();
        for (std::size_t i = 0; i < count; ++i) {
            const double h = rowH[i];
            double needed = h;
            if (t.totals.empty() && i + 2 == count) {
                needed += rowH[i + 1] + captionH;
            } else if (t.totals.empty() && i + 1 == count) {
                needed += captionH;
            }
            if (y_ + needed > bottom_ && i > 0) {
                newPage();
                heading();
            }
            if (i % 2 == 1) {
                fill(QRectF(0, y_, W_, h), QColor(0xf4, 0xf4, 0xf4));
            }
            row(t.rows[i], body, h);
        }
        if (!t.totals.empty()) {
            const double h = heightOf(t.totals, bold);
            if (y_ + h + captionH > bottom_) {
                newPage();
                heading();
            }
            line(0, y_, W_);
            row(t.totals, bold, h);
        }
        line(0, y_, W_);
        y_ += mm(1.5);
        if (!t.caption.empty()) {
            paragraph(qs(t.caption), font(kSmallPt), QColor(0x44, 0x44, 0x44));
        }
    }

    const Document& doc_;
    QPaintDevice& device_;
    double dpi_ = 96;
    double W_ = 0, H_ = 0;
    double headerH_ = 0, footerH_ = 0;
    double top_ = 0, bottom_ = 0;
    double y_ = 0;
};

// A running application for the time of a call made without one (the command line).
class GuiScope {
  public:
    GuiScope() {
        if (QCoreApplication::instance()) {
            return;
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // The command line tells its own failures in one line; the toolkit's notes about
        // its run-time folder or fonts are not for the user.
        previous_ =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        // The figures' charts are drawn through a graphics scene, which needs the widgets'
        // application.
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    ~GuiScope() {
        if (app_) {
            app_.reset();
            qInstallMessageHandler(previous_);
        }
    }
    GuiScope(const GuiScope&) = delete;
    GuiScope& operator=(const GuiScope&) = delete;

  private:
    QtMessageHandler previous_ = nullptr;
    int argc_ = 1;
    char name_[8] = "kambrix";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

}  // namespace

int paint(const Document& given, QPagedPaintDevice& device, QPainter& painter,
          const FigurePainter& figures) {
    // Printed in the units the program shows.
    const Document document = reportInUnits(given, shownUnits(), given.decimalSeparator);
    const Layout layout(document, device);
    const int count = static_cast<int>(layout.pages.size());
    const double W = layout.width();
    const double H = layout.height();
    const QFont header = font(kHeaderPt, true);
    const QFont small = font(kSmallPt);
    QPen rule(Qt::black);
    rule.setWidthF(layout.mm(0.2));
    for (int p = 0; p < count; ++p) {
        if (p > 0) {
            device.newPage();
        }
        painter.setPen(Qt::black);
        painter.setFont(header);
        painter.drawText(QRectF(0, 0, W, layout.headerHeight() - layout.mm(1.5)),
                         Qt::AlignLeft | Qt::AlignBottom, qs(document.title));
        painter.setPen(rule);
        painter.drawLine(QPointF(0, layout.headerHeight()), QPointF(W, layout.headerHeight()));
        painter.setFont(small);
        painter.setPen(Qt::black);
        const QRectF foot(0, H - layout.footerHeight(), W, layout.footerHeight());
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Kambrix"));
        painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(p + 1).arg(count));
        for (const auto& item : layout.pages[static_cast<std::size_t>(p)]) {
            switch (item.kind) {
                case Item::Kind::Fill:
                    painter.fillRect(item.rect, item.colour);
                    break;
                case Item::Kind::Line:
                    painter.setPen(rule);
                    painter.drawLine(item.rect.topLeft(), item.rect.topRight());
                    break;
                case Item::Kind::Text:
                    painter.setPen(item.colour);
                    painter.setFont(item.font);
                    painter.drawText(item.rect, item.flags, item.text);
                    break;
                case Item::Kind::Figure:
                    if (item.figure->plot &&
                        qobject_cast<QApplication*>(QCoreApplication::instance())) {
                        painter.save();
                        painter.setClipRect(item.rect);
                        paintPlot(*item.figure->plot, painter, item.rect);
                        painter.restore();
                    } else if (figures) {
                        painter.save();
                        painter.setClipRect(item.rect);
                        figures(*item.figure, painter, item.rect);
                        painter.restore();
                    } else {
                        painter.setPen(rule);
                        painter.drawRect(item.rect);
                    }
                    break;
            }
        }
    }
    return count;
}

void writePdf(const Document& document, const QString& path, const FigurePainter& figures) {
    const GuiScope gui;
    // Drawn into memory and written through the program's file writer: the PDF engine does
    // not report a failed write, and a half-written file must never be left behind.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
    writer.setResolution(static_cast<int>(kPointsPerInch * 4));  // 288 dpi
    writer.setTitle(qs(document.title));
    writer.setCreator(QStringLiteral("Kambrix"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        raiseError(errc::FileNotWritable, "The file " + path.toStdString() + " cannot be written");
    }
    paint(document, writer, painter, figures);
    painter.end();
    const QByteArray& bytes = buffer.data();
    writeTextFile(std::filesystem::path(path.toStdString()),
                  std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void print(const Document& document, QPrinter& printer, const FigurePainter& figures) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        raiseError(errc::FileNotWritable, "The printer cannot be used");
    }
    paint(document, printer, painter, figures);
    painter.end();
}

}  // namespace kambrix::report
