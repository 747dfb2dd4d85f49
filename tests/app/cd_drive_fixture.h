#pragma once

namespace lentaro::mci {
class MMControl;
}

namespace lentaro::test {

// Points the CD control at drive `letter` (closing what it had open) and opens it; a failure to
// open fails the test with the control's message.
void openCdDrive(mci::MMControl& cd, char letter = 'D');

} // namespace lentaro::test
