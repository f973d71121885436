#pragma once

namespace dx400 {

// Makes assistive technology read ReceiveEchoBox as the editable text box it is. Left to
// QLineEdit's own interface, a box in echo mode NoEcho is announced as a password field
// with no text. Safe to call any number of times.
void installReceiveEchoAccessible();

} // namespace dx400
