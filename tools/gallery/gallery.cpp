#include "tools/gallery/gallery.h"

#include <QLabel>
#include <QVBoxLayout>

namespace rilumo::gallery {

Gallery::Gallery() {
    setWindowTitle(QStringLiteral("Rilumo controls"));
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(8, 8, 8, 8);
    layout_->setSpacing(2);
}

QWidget* Gallery::AddSection(const QString& title, int height) {
    auto* label = new QLabel(title, this);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    layout_->addWidget(label);
    auto* area = new QWidget(this);
    area->setFixedHeight(height);
    area->setMinimumWidth(720);
    layout_->addWidget(area);
    return area;
}

}  // namespace rilumo::gallery
