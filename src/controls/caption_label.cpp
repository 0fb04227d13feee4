#include "caption_label.h"

#include <QLabel>

namespace {
// Its own class so that assistive technology can be told to pass it over:
// the control it captions already carries the name (controls_accessibility).
class TCaptionText : public QLabel {
    Q_OBJECT
public:
    TCaptionText() = default;
};
} // namespace

CaptionLabel::CaptionLabel(QWidget* control) : control_(control), label_(new TCaptionText) {
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setMargin(0);
    QFont font = label_->font();
    font.setPixelSize(11); // fits the 14 pixels between the label's top and the control
    label_->setFont(font);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label_->setPalette(palette);
}

CaptionLabel::~CaptionLabel() {
    delete label_.data();
}

QLabel* CaptionLabel::Label() const {
    return label_;
}

void CaptionLabel::Place(const QString& text) {
    if (!label_)
        return;
    label_->setText(text);
    Follow();
}

void CaptionLabel::Follow() {
    if (!label_)
        return;
    QWidget* parent = control_->parentWidget();
    if (label_->parentWidget() != parent) {
        // Without a parent the label would become a window of its own.
        label_->setParent(parent);
    }
    if (!parent) {
        label_->hide();
        return;
    }
    const QString name = control_->objectName() + QStringLiteral("Caption");
    if (label_->objectName() != name)
        label_->setObjectName(name);
    const QFontMetrics metrics(label_->font());
    const int textWidth = metrics.horizontalAdvance(label_->text());
    const QRect control = control_->geometry();
    label_->setGeometry(control.left() + control.width() / 2 - textWidth / 2, control.top() - Gap,
                        textWidth, metrics.height());
    // Hidden only with a control hidden on purpose; otherwise the label shows
    // together with the parent, as the control does.
    const bool explicitlyHidden =
        control_->isHidden() && control_->testAttribute(Qt::WA_WState_ExplicitShowHide);
    label_->setVisible(!explicitlyHidden);
}

#include "caption_label.moc"
