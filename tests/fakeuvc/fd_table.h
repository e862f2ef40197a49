#pragma once

#include <memory>

namespace fakeuvc {

struct OpenFile;

// Which file descriptors of the process stand for opens of the fake node.
// Each is a real descriptor (an eventfd) so numbers never clash and waits
// on it work natively.
namespace fd_table {

void add(int fd, std::shared_ptr<OpenFile> file);
// nullptr when `fd` is not ours; cheap while no fake file is open.
std::shared_ptr<OpenFile> find(int fd);
// Takes `fd` out of the table; nullptr when it was not ours.
std::shared_ptr<OpenFile> remove(int fd);
bool empty();

}  // namespace fd_table

}  // namespace fakeuvc
