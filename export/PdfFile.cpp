#include "PdfFile.h"

#include "EFileError.h"

#include <QPageLayout>
#include <QPdfWriter>

PdfFile::PdfFile(const QString& fileName, const QString& title)
    : fileName_(fileName), file_(fileName) {
    if (!file_.open(QIODevice::WriteOnly))
        throw EFileError::CannotCreate(fileName.toStdString());
    writer_ = std::make_unique<QPdfWriter>(&file_);
    writer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("Velmora"));
}

PdfFile::~PdfFile() = default;

void PdfFile::Commit() {
    writer_.reset();
    if (!file_.commit())
        throw EFileError::CannotCreate(fileName_.toStdString());
}
