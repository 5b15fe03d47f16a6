#include "app/ProgramInfo.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef QUILLORA_VERSION
#error "QUILLORA_VERSION comes from the project's version in CMakeLists.txt"
#endif

QString ProgramVersion() { return QStringLiteral(QUILLORA_VERSION); }

QString LicenceId() { return QStringLiteral("GPL-3.0-or-later"); }

QString LicenceUrl() { return QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"); }

bool RussianUser() {
  // The first of these that is set decides, as for any program's messages.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "ru", 2) == 0;
  }
  return false;
}

QString VersionText(bool russian) {
  const QString head = QStringLiteral("Quillora %1\n").arg(ProgramVersion());
  if (russian)
    return head + QStringLiteral(
                      "Copyright (C) 2026 разработчики Quillora\n"
                      "Лицензия: GNU GPL версии 3 или более поздней (%1) <%2>.\n"
                      "Это свободная программа: её можно изменять и распространять.\n"
                      "Никаких гарантий в пределах, допускаемых законом.\n")
                      .arg(LicenceId(), LicenceUrl());
  return head + QStringLiteral(
                    "Copyright (C) 2026 the Quillora developers\n"
                    "Licence: GNU GPL version 3 or later (%1) <%2>.\n"
                    "This is free software: you are free to change and redistribute it.\n"
                    "There is NO WARRANTY, to the extent permitted by law.\n")
                    .arg(LicenceId(), LicenceUrl());
}

QString HelpText(bool russian) {
  if (russian)
    return QStringLiteral(
        "Использование: quillora [--help | --version]\n"
        "Набор текста по реакциям датчика на входе записи звуковой карты.\n"
        "Без параметров открывает окна программы.\n"
        "\n"
        "  -h, --help     показать эту справку и выйти\n"
        "  -v, --version  показать версию и лицензию и выйти\n"
        "\n"
        "Настройки хранятся в файле Quillora.ini рядом с программой, а если\n"
        "туда нельзя писать, в ~/.config/Quillora/. Клавиша F1 в любом окне\n"
        "открывает окно \"О программе\".\n");
  return QStringLiteral(
      "Usage: quillora [--help | --version]\n"
      "Spells text by the reactions a sensor picks up at the sound card's\n"
      "recording input. Without options it opens the program's windows.\n"
      "\n"
      "  -h, --help     print this help and exit\n"
      "  -v, --version  print the version and licence and exit\n"
      "\n"
      "Settings are kept in Quillora.ini beside the program, or in\n"
      "~/.config/Quillora/ where that folder cannot be written. F1 in any\n"
      "window opens the \"About\" box (\"О программе\").\n");
}

bool PrintInfoOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    QString text;
    if (arg == "--help" || arg == "-h")
      text = HelpText(RussianUser());
    else if (arg == "--version" || arg == "-v")
      text = VersionText(RussianUser());
    else
      continue;
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    return true;
  }
  return false;
}
