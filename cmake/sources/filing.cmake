# Sources of the filing area; included after sortwell_core is defined.
