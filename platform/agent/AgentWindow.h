#pragma once
// A frameless, always-on-top window showing one image with its transparency: the
// character or its balloon. It never takes the keyboard focus or becomes the active
// window, so key presses and window commands keep reaching the user's window. Where
// no compositor runs it cuts its shape from the image's alpha (no black box). UI thread.

#include <QImage>
#include <QPoint>
#include <QWidget>

class AgentWindow : public QWidget {
    Q_OBJECT
public:
    explicit AgentWindow(bool draggable, QWidget* parent = nullptr);

    void setImage(const QImage& image);   // the window takes the image's size
    const QImage& image() const { return m_image; }

signals:
    void dragged(QPoint topLeft);   // the user moved the window to topLeft

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateShape();
    static bool isCompositorRunning();

    QImage m_image;
    bool m_draggable;
    bool m_composited = true;
    bool m_dragging = false;
    QPoint m_grabOffset;
};
