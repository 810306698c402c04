# Sources of the automation area; included after sortwell_core is defined.
