// Placeholder until the main dialog lands: starts and ends at once.
int main() { return 0; }
