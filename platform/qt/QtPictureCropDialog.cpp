#include "QtPictureCropDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "QtCropView.h"
#include "QtText.h"

CQtPictureCropDialog::CQtPictureCropDialog(QWidget* owner, const PictureCropRequest& request,
                                           IPicturePreviews& previews)
    : QDialog(owner), m_previews(previews)
{
    setWindowTitle(ToQt(request.caption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ToQt(request.pictureName) +
                                 QStringLiteral(": drag the frame to move it, a corner or the wheel to resize it.")));
    auto* row = new QHBoxLayout;
    m_view = new CQtCropView(request, [this] { Changed(); }, this);
    row->addWidget(m_view, 0, Qt::AlignTop);
    m_previewColumn = new QVBoxLayout;
    row->addLayout(m_previewColumn);
    row->addStretch(1);
    layout->addLayout(row);

    m_newPalette = new QCheckBox(QStringLiteral("Make a new palette for the picture (entry 0 is kept)"));
    m_perceptual = new QCheckBox(QStringLiteral("Match colours as the eye sees them (OKLab)"));
    m_dither = new QCheckBox(QStringLiteral("Dither"));
    m_newPalette->setChecked(request.initial.newPalette);
    m_perceptual->setChecked(request.initial.perceptual);
    m_dither->setChecked(request.initial.dither);
    m_newPalette->setEnabled(request.paletteImages);
    m_perceptual->setEnabled(request.paletteImages);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(new QLabel(QStringLiteral("Replace:")));
    const char* const names[3] = {"LARGE", "MEDIUM", "SMALL"};
    for (int s = 0; s < 3; ++s) {
        m_sizes[s] = new QCheckBox(QString::fromLatin1(names[s]));
        m_sizes[s]->setChecked(request.initial.sizes[s]);
        sizes->addWidget(m_sizes[s]);
    }
    sizes->addStretch(1);
    for (QCheckBox* box : {m_newPalette, m_perceptual, m_dither})
        layout->addWidget(box);
    layout->addLayout(sizes);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QCheckBox* box : {m_newPalette, m_perceptual, m_dither, m_sizes[0], m_sizes[1], m_sizes[2]})
        connect(box, &QCheckBox::toggled, this, [this] { Changed(); });

    // Moves of the mouse that come together are shown once.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, [this] { RefreshNow(); });
    RefreshNow();
}

PictureCropChoice CQtPictureCropDialog::Choice() const
{
    PictureCropChoice choice;
    choice.crop = m_view->Crop();
    choice.newPalette = m_newPalette->isEnabled() && m_newPalette->isChecked();
    choice.perceptual = m_perceptual->isChecked();
    choice.dither = m_dither->isChecked();
    for (int s = 0; s < 3; ++s)
        choice.sizes[s] = m_sizes[s]->isChecked();
    return choice;
}

void CQtPictureCropDialog::Changed()
{
    m_refresh.start();
}

void CQtPictureCropDialog::RefreshNow()
{
    m_refresh.stop();
    const PictureCropChoice choice = Choice();
    m_shown = m_previews.Previews(choice);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(choice.sizes[0] || choice.sizes[1] || choice.sizes[2]);
    // A caption and a picture for each image shown.
    while (m_previewLabels.size() < m_shown.size() * 2) {
        auto* label = new QLabel(this);
        m_previewColumn->addWidget(label, 0, Qt::AlignLeft);
        m_previewLabels.push_back(label);
    }
    for (size_t k = 0; k < m_previewLabels.size(); ++k)
        m_previewLabels[k]->setVisible(k < m_shown.size() * 2);
    for (size_t k = 0; k < m_shown.size(); ++k) {
        const PicturePreview& p = m_shown[k];
        m_previewLabels[k * 2]->setText(ToQt(p.label) + QStringLiteral(" %1 x %2").arg(p.width).arg(p.height) +
                                        (p.note.empty() ? QString() : QStringLiteral(": ") + ToQt(p.note)));
        if (p.width > 0 && p.height > 0 && p.rgb.size() >= static_cast<size_t>(p.width) * p.height * 3)
            m_previewLabels[k * 2 + 1]->setPixmap(QPixmap::fromImage(
                QImage(p.rgb.data(), p.width, p.height, p.width * 3, QImage::Format_RGB888).copy()));
    }
}
