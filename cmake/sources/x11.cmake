# Sources of the x11 area; included after sortwell_core is defined.
