#pragma once

#include <QImage>
#include <QWidget>

namespace kavel {

// A picture that keeps what is drawn on it, shown at the widget's size,
// with a tag saying what it shows. It reports the pointer moving over it
// and clicks.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    const QString &tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

signals:
    void survole();
    void clique();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    QString m_tag;
};

} // namespace kavel
