#pragma once

namespace Bellwright {

// The welcome pass: greets every player queued since the last pass, each once, and
// empties the queue. Players who have left meanwhile are dropped without a message.
void SendWelcomeMessages();

}  // namespace Bellwright
