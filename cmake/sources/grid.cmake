# Sources of the grid area; included after sortwell_core is defined.
