// sparkle: the engine's pooled 2D effects library. Its effects come later.
