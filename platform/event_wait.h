#pragma once

// Dispatches every event that arrives during the next `durationMs`
// milliseconds, then returns. Handlers that run inside may wait again or open
// modal boxes; each wait still returns after its own duration (or later, when
// a handler inside it runs longer).
void dispatchEventsFor(int durationMs);
