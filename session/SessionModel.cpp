#include "SessionModel.h"

TSessionModel* SessionModel = nullptr;

TSessionModel::TSessionModel(QObject* parent) : QObject(parent) {
  if (!SessionModel) SessionModel = this;
}

TSessionModel::~TSessionModel() {
  if (SessionModel == this) SessionModel = nullptr;
}
