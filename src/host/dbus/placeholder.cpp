// Replaced by the D-Bus adaptor sources.
