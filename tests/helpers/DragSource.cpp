// A program to drag from, for the tests that drag like a user (and for the introduction's
// movie): a window at (100, 100) that shows the files named on its command line as a file
// manager would, and, when pressed, starts a drag of them all (or of the text after --text),
// offering copy, move and link as a file manager does. It prints the action the drop ended with.
// Ctrl+C copies the files to the clipboard, as a file manager's Copy does.
// Like a file manager, it gives the drag an image of what is dragged, which follows the pointer:
// the items' icons stacked, with a count when there are several (the introduction's movie shows it).

#include <QApplication>
#include <QBitmap>
#include <QClipboard>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
class DragSource final : public QWidget
{
public:
    explicit DragSource(QStringList items)
        : m_items(std::move(items))
    {
        setWindowTitle(QStringLiteral("Tessary Test Drag Source"));
        setGeometry(100, 100, 200, 200);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_items.value(0) == QStringLiteral("--text"))
            return;
        const QFileIconProvider icons;
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const QFileInfo item(m_items.at(i));
            const QRect cell(int(i % 2) * 100, int(i / 2) * 90 + 10, 100, 90);
            painter.drawPixmap(cell.center().x() - 24, cell.top(), icons.icon(item).pixmap(48, 48));
            painter.drawText(QRect(cell.left(), cell.top() + 52, cell.width(), 30), Qt::AlignHCenter | Qt::TextWordWrap,
                item.fileName());
        }
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (!event->matches(QKeySequence::Copy) || m_items.value(0) == QStringLiteral("--text"))
            return;
        auto *data = new QMimeData;
        data->setUrls(urls());
        QGuiApplication::clipboard()->setMimeData(data);
    }

    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        if (m_items.value(0) == QStringLiteral("--text")) {
            data->setText(m_items.mid(1).join(QLatin1Char(' ')));
        } else {
            data->setUrls(urls());
        }
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        drag->setPixmap(m_items.value(0) == QStringLiteral("--text") ? textImage(data->text()) : itemsImage());
        // Held by its top right corner: the image hangs below and to the left of the pointer, so
        // that it stays on the screen with the pointer on the pad (in the top right corner), and it
        // leaves the pointer and what the pointer is on in sight.
        drag->setHotSpot(QPoint(int(drag->pixmap().deviceIndependentSize().width()) - 1, 0));
        shapeDragImage(drag->pixmap());
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
        const char *name = action == Qt::CopyAction ? "copy"
            : action == Qt::MoveAction              ? "move"
            : action == Qt::LinkAction              ? "link"
                                                    : "none";
        QTextStream(stdout) << "dropped: " << name << Qt::endl;
    }

private:
    QList<QUrl> urls() const
    {
        QList<QUrl> urls;
        for (const QString &item : m_items)
            urls << QUrl::fromLocalFile(item);
        return urls;
    }

    static constexpr int kIcon = 48;
    static constexpr int kStep = 7; // how far each icon of the stack lies from the one behind it
    static constexpr int kBadge = 22;

    // Without a compositing manager (as on the test desktops) Qt shows the drag image in a window
    // that it cuts to the image's shape before showing it, but the window shows uncut: the image
    // on a white square. Cut once it is shown (the drag has begun), it stays cut.
    void shapeDragImage(const QPixmap &image)
    {
        const QRegion shape(QBitmap::fromPixmap(image.mask().scaled(image.deviceIndependentSize().toSize())));
        QTimer::singleShot(0, this, [shape] {
            for (QWindow *window : QGuiApplication::allWindows()) {
                if (window->inherits("QShapedPixmapWindow"))
                    window->setMask(shape);
            }
        });
    }

    QPixmap blankImage(QSize size) const
    {
        QPixmap image(size * devicePixelRatio());
        image.setDevicePixelRatio(devicePixelRatio());
        image.fill(Qt::transparent);
        return image;
    }

    // Up to three icons, the first in front, and the number of items in a badge at the top right
    // of the front one when there are more than one.
    QPixmap itemsImage() const
    {
        const QFileIconProvider icons;
        const qsizetype shown = std::min<qsizetype>(m_items.size(), 3);
        const int stack = kIcon + int(shown - 1) * kStep;
        const int badgeRoom = m_items.size() > 1 ? kBadge / 2 : 0; // above and to the right
        QPixmap image = blankImage(QSize(stack + badgeRoom, stack + badgeRoom));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPoint front(0, badgeRoom);
        for (qsizetype i = shown - 1; i >= 0; --i) {
            const QPoint at = front + QPoint(int(i) * kStep, int(i) * kStep);
            painter.drawPixmap(at, icons.icon(QFileInfo(m_items.at(i))).pixmap(kIcon, kIcon));
        }
        if (m_items.size() > 1) {
            const QRect circle(kIcon - kBadge / 2, 0, kBadge, kBadge);
            painter.setPen(QPen(Qt::white, 2));
            painter.setBrush(QColor(0xd9, 0x3a, 0x32));
            painter.drawEllipse(circle.adjusted(1, 1, -1, -1));
            QFont font = painter.font();
            font.setBold(true);
            font.setPixelSize(12);
            painter.setFont(font);
            painter.drawText(circle, Qt::AlignCenter, QString::number(m_items.size()));
        }
        return image;
    }

    // Dragged text: its first words on a small white card.
    QPixmap textImage(const QString &text) const
    {
        const QFontMetrics metrics(font());
        const QString shown = metrics.elidedText(text.simplified(), Qt::ElideRight, 200);
        const QSize size(metrics.horizontalAdvance(shown) + 14, metrics.height() + 10);
        QPixmap image = blankImage(size);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, shown);
        return image;
    }

    QStringList m_items;
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DragSource source(QApplication::arguments().mid(1));
    source.show();
    return QApplication::exec();
}
