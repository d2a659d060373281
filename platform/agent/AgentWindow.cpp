#include "platform/agent/AgentWindow.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>

AgentWindow::AgentWindow(bool draggable, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                          | Qt::NoDropShadowWindowHint)
    , m_draggable(draggable)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    if (draggable)
        setCursor(Qt::OpenHandCursor);
}

void AgentWindow::setImage(const QImage& image)
{
    // Frames come from the renderer's cache: an unchanged frame is the same image.
    if (image.cacheKey() == m_image.cacheKey())
        return;
    m_image = image;
    if (size() != image.size() && !image.isNull())
        setFixedSize(image.size());
    updateShape();
    update();
}

bool AgentWindow::isCompositorRunning()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        return true;   // not X11: the platform composes translucent windows itself
    Display* display = x11->display();
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    return XGetSelectionOwner(display, XInternAtom(display, selection.constData(), False)) != None;
}

void AgentWindow::updateShape()
{
    if (m_composited || m_image.isNull()) {
        if (!mask().isEmpty())
            clearMask();
        return;
    }
    setMask(QBitmap::fromImage(m_image.createAlphaMask()));
}

void AgentWindow::showEvent(QShowEvent* event)
{
    // A compositor can come and go between shows; checking once per show is enough.
    m_composited = isCompositorRunning();
    updateShape();
    QWidget::showEvent(event);
}

void AgentWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, m_image);
}

void AgentWindow::mousePressEvent(QMouseEvent* event)
{
    if (!m_draggable || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    // The point grabbed inside the window: Qt's idea of the window's place can lag the
    // window manager's, the pointer's offset cannot.
    m_grabOffset = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void AgentWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    const QPoint topLeft = event->globalPosition().toPoint() - m_grabOffset;
    move(topLeft);
    emit dragged(topLeft);
}

void AgentWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
}
