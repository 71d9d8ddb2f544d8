#include "netwin/profileview.h"

#include <QPainter>

namespace dorvent {

ProfileView::ProfileView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the chart fills itself
}

void ProfileView::setData(ProfileData data)
{
    data_ = std::move(data);
    update();
}

void ProfileView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintProfile(painter, rect(), data_, ProfileDetail::screen);
}

}  // namespace dorvent
