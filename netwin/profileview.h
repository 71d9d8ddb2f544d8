#pragma once

#include <QWidget>

#include "report/profilechart.h"

namespace dorvent {

/// The profile chart of the pipeline window: draws what it is given at the size it has.
class ProfileView : public QWidget {
    Q_OBJECT

public:
    explicit ProfileView(QWidget* parent = nullptr);

    void setData(ProfileData data);
    const ProfileData& data() const { return data_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProfileData data_;
};

}  // namespace dorvent
