#pragma once

namespace tessra {
// Read/Write dispatch: being written.
}
