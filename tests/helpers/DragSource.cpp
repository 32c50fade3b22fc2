// A program to drag from, for the tests that drag like a user (and for the introduction's
// movie): a window at (100, 100) that shows the files named on its command line as a file
// manager would, and, when pressed, starts a drag of them all (or of the text after --text),
// offering copy, move and link as a file manager does. It prints the action the drop ended with.

#include <QApplication>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QTextStream>
#include <QUrl>
#include <QWidget>

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

    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        if (m_items.value(0) == QStringLiteral("--text")) {
            data->setText(m_items.mid(1).join(QLatin1Char(' ')));
        } else {
            QList<QUrl> urls;
            for (const QString &item : std::as_const(m_items))
                urls << QUrl::fromLocalFile(item);
            data->setUrls(urls);
        }
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
        const char *name = action == Qt::CopyAction ? "copy"
            : action == Qt::MoveAction              ? "move"
            : action == Qt::LinkAction              ? "link"
                                                    : "none";
        QTextStream(stdout) << "dropped: " << name << Qt::endl;
    }

private:
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
