#pragma once

#include <memory>
#include <string_view>

class QIcon;

// An application icon, loaded once and handed to windows.
class Icon {
 public:
  Icon();
  ~Icon();
  Icon(const Icon&);
  Icon& operator=(const Icon&);

  bool isNull() const;
  const QIcon& qicon() const;

 private:
  friend Icon LoadIcon(std::string_view resourcePath);
  std::shared_ptr<const QIcon> icon_;
};

// The icon stored under `resourcePath` (a Qt resource such as ":/varnix.png");
// a null icon when there is none.
Icon LoadIcon(std::string_view resourcePath);
