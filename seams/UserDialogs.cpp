#include "seams/UserDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString ApplicationTitle() { return QStringLiteral("QUILLORA"); }

class TQtUserDialogs final : public TUserDialogs {
public:
  void Message(QWidget* parent, const QString& text) override {
    QMessageBox::information(parent, ApplicationTitle(), text, QMessageBox::Ok);
  }

  bool Confirm(QWidget* parent, const QString& text) override {
    return QMessageBox::question(parent, ApplicationTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }

  void Error(QWidget* parent, const QString& text) override {
    QMessageBox::critical(parent, ApplicationTitle(), text, QMessageBox::Ok);
  }

  QString OpenFile(QWidget* parent, const TFileDialogRequest& r) override {
    QFileDialog dialog(parent, r.Title, StartFolder(r));
    Prepare(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(r.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return dialog.exec() == QDialog::Accepted ? Chosen(First(dialog)) : QString();
  }

  QString SaveFile(QWidget* parent, const TFileDialogRequest& r) override {
    QFileDialog dialog(parent, r.Title, StartFolder(r));
    Prepare(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Overwrite questions are asked by the callers where they are wanted.
    if (!r.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
      if (dialog.exec() != QDialog::Accepted) return QString();
      const QString path = First(dialog);
      if (r.PathMustExist && !QFileInfo(path).absoluteDir().exists()) {
        Message(parent,
                QStringLiteral("Папка \"%1\" не существует.")
                    .arg(ElidedName(QDir::toNativeSeparators(QFileInfo(path).absolutePath()))));
        continue;
      }
      if (r.NoReadOnly) {
        const QFileInfo info(path);
        if (info.exists() && !info.isWritable()) {
          Message(parent,
                  QStringLiteral("Файл \"%1\" доступен только для чтения.").arg(ElidedName(path)));
          continue;
        }
      }
      return Chosen(path);
    }
  }

private:
  // Without an initial folder a dialog opens in the folder of the file
  // chosen last (a tape file, an export), not in the working folder.
  QString StartFolder(const TFileDialogRequest& r) const {
    return r.InitialDir.isEmpty() ? lastFolder_ : r.InitialDir;
  }
  QString Chosen(const QString& path) {
    if (!path.isEmpty()) lastFolder_ = QFileInfo(path).absolutePath();
    return path;
  }

  QString lastFolder_;

  static void Prepare(QFileDialog& dialog, const TFileDialogRequest& r) {
    if (!r.Filters.isEmpty()) dialog.setNameFilters(r.Filters);
    if (!r.DefaultExtension.isEmpty()) dialog.setDefaultSuffix(r.DefaultExtension);
    if (!r.FileName.isEmpty()) dialog.selectFile(r.FileName);
  }

  static QString First(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
  }
};

TUserDialogs* installed = nullptr;

// What every caller gets: the texts elided, then the dialogs in force.
class TElidingDialogs final : public TUserDialogs {
public:
  void Message(QWidget* parent, const QString& text) override {
    Target().Message(parent, ElidedText(text));
  }
  bool Confirm(QWidget* parent, const QString& text) override {
    return Target().Confirm(parent, ElidedText(text));
  }
  void Error(QWidget* parent, const QString& text) override {
    Target().Error(parent, ElidedText(text));
  }
  QString OpenFile(QWidget* parent, const TFileDialogRequest& request) override {
    return Target().OpenFile(parent, request);
  }
  QString SaveFile(QWidget* parent, const TFileDialogRequest& request) override {
    return Target().SaveFile(parent, request);
  }

private:
  static TUserDialogs& Target() {
    static TQtUserDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
  }
};

} // namespace

TUserDialogs& Dialogs() {
  static TElidingDialogs dialogs;
  return dialogs;
}

void SetDialogs(TUserDialogs* dialogs) { installed = dialogs; }

QString ElidedName(const QString& name, int maxLength) {
  if (name.size() <= maxLength || maxLength < 3) return name;
  qsizetype head = (maxLength - 1) / 2;
  qsizetype tail = maxLength - 1 - head;
  if (name.at(head - 1).isHighSurrogate()) --head;
  if (name.at(name.size() - tail).isLowSurrogate()) --tail;
  return name.left(head) + QChar(0x2026) + name.right(tail);
}

QString ElidedText(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    QString shown;
    shown.reserve(qMin<qsizetype>(line.size(), MaxShownLineLength * 2));
    for (qsizetype i = 0; i < line.size();) {
      qsizetype end = i;
      const bool blank = line.at(i).isSpace();
      while (end < line.size() && line.at(end).isSpace() == blank) ++end;
      const QString run = line.mid(i, end - i);
      shown += blank ? run : ElidedName(run);
      i = end;
    }
    line = ElidedName(shown, MaxShownLineLength);
  }
  return lines.join(QLatin1Char('\n'));
}
