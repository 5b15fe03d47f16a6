#pragma once
// Refuses text that the settings file cannot hold: characters outside the
// cp1251 code page and line breaks. Set on an edit field (or a cell editor),
// it rejects such characters as they are typed or pasted, so nothing the
// user sees is later lost or stored as "?".

#include <QValidator>

class TCp1251Validator : public QValidator {
  Q_OBJECT
public:
  explicit TCp1251Validator(QObject* parent = nullptr);

  // Whether the text can be stored as it stands.
  static bool IsStorable(const QString& text);

  State validate(QString& input, int& pos) const override;
};
