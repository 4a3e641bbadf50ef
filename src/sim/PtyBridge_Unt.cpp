// Placeholder so the library links while the pseudo-terminal bridge is written.
