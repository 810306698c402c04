# Sources of the model area; included after sortwell_core is defined.
