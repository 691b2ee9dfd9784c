// light-boards-plain: the photo
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 4 }
background { rgb 0 }
camera { perspective location <600.000, 1500.000, 400.000> right x*320/240 up y angle 66 sky <0.000, 1.000, 0.000> look_at <397.107, 955.361, 1213.758> }
#declare FloorTex = texture {
  pigment { rgb <0.66, 0.45, 0.26> }
  finish { ambient 0.09 diffuse 0.7 specular 0.2 roughness 0.02 reflection { 0.02 } } }
light_source { <-18775.954, 11550.000, 8543.963> rgb <1, 0.95, 0.86>*1.2 parallel point_at <-2500.000, 1550.000, 2620.000> }
light_source { <0.000, 2640.000, 3000.000> rgb <1, 0.96, 0.88>*0.5 area_light <900, 0, 0>, <0, 0, 900>, 9, 9 adaptive 1 circular orient fade_distance 3000 fade_power 1 }
light_source { <2200.000, 1800.000, 1800.000> rgb <1, 1, 1>*0.2 shadowless }
plane { y, 0 texture { FloorTex } }
box { <-2650.000, 2700.000, -150.000>, <2650.000, 2850.000, 6150.000> texture { pigment { rgb <0.85, 0.84, 0.82> } finish { ambient 0.3 diffuse 0.75 } } }
box { <-2650.000, 0.000, 6000.000>, <2650.000, 2700.000, 6150.000> texture { pigment { rgb <0.72, 0.71, 0.69> } finish { ambient 0.1 diffuse 0.75 } } }
box { <2500.000, 0.000, -150.000>, <2650.000, 2700.000, 6150.000> texture { pigment { rgb <0.72, 0.71, 0.69> } finish { ambient 0.1 diffuse 0.75 } } }
box { <-2650.000, 0.000, -151.000>, <2650.000, 2700.000, 0.000> texture { pigment { rgb <0.72, 0.71, 0.69> } finish { ambient 0.1 diffuse 0.75 } } }
difference { box { <-2650.000, 0.000, -150.000>, <-2500.000, 2700.000, 6150.000> texture { pigment { rgb <0.72, 0.71, 0.69> } finish { ambient 0.1 diffuse 0.75 } } } box { <-2651.000, 900.000, 1920.000>, <-2499.000, 2200.000, 3320.000> texture { pigment { rgb <0.72, 0.71, 0.69> } finish { ambient 0.1 diffuse 0.75 } } } }
box { <-2690.000, 890.000, 1910.000>, <-2670.000, 2210.000, 3330.000> texture { pigment { rgb <0.85, 0.92, 1.0> } finish { ambient 1.3 diffuse 0 } } no_shadow }
box { <-2580.000, 860.000, 1860.000>, <-2460.000, 900.000, 3380.000> texture { pigment { rgb <0.9, 0.9, 0.88> } finish { ambient 0.25 diffuse 0.75 } } }
box { <-2580.000, 2200.000, 1880.000>, <-2520.000, 2240.000, 3360.000> texture { pigment { rgb <0.9, 0.9, 0.88> } finish { ambient 0.25 diffuse 0.75 } } }
box { <-2580.000, 900.000, 1880.000>, <-2520.000, 2200.000, 1920.000> texture { pigment { rgb <0.9, 0.9, 0.88> } finish { ambient 0.25 diffuse 0.75 } } }
box { <-2580.000, 900.000, 3320.000>, <-2520.000, 2200.000, 3360.000> texture { pigment { rgb <0.9, 0.9, 0.88> } finish { ambient 0.25 diffuse 0.75 } } }
box { <-2580.000, 900.000, 2595.000>, <-2540.000, 2200.000, 2645.000> texture { pigment { rgb <0.9, 0.9, 0.88> } finish { ambient 0.25 diffuse 0.75 } } }
box { <-2500.000, 0.000, 5984.000>, <2500.000, 90.000, 6000.000> texture { pigment { rgb <0.86, 0.86, 0.84> } finish { ambient 0.16 diffuse 0.7 specular 0.3 } } }
box { <-2500.000, 0.000, 0.000>, <-2484.000, 90.000, 6000.000> texture { pigment { rgb <0.86, 0.86, 0.84> } finish { ambient 0.16 diffuse 0.7 specular 0.3 } } }
box { <2484.000, 0.000, 0.000>, <2500.000, 90.000, 6000.000> texture { pigment { rgb <0.86, 0.86, 0.84> } finish { ambient 0.16 diffuse 0.7 specular 0.3 } } }
box { <-2500.000, 0.000, 0.000>, <2500.000, 90.000, 16.000> texture { pigment { rgb <0.86, 0.86, 0.84> } finish { ambient 0.16 diffuse 0.7 specular 0.3 } } }
box { <1580.000, 0.000, 2740.000>, <2400.000, 90.000, 4760.000> texture { pigment { rgb <0.04, 0.04, 0.04> } finish { ambient 0.1 diffuse 0.75 } } }
box { <1540.000, 90.000, 2700.000>, <2440.000, 400.000, 4800.000> texture { pigment { rgb <0.22, 0.24, 0.27> } finish { ambient 0.14 diffuse 0.8 } } }
box { <2220.000, 400.000, 2700.000>, <2440.000, 860.000, 4800.000> texture { pigment { rgb <0.22, 0.24, 0.27> } finish { ambient 0.14 diffuse 0.8 } } }
box { <1540.000, 400.000, 2700.000>, <2220.000, 620.000, 2900.000> texture { pigment { rgb <0.22, 0.24, 0.27> } finish { ambient 0.14 diffuse 0.8 } } }
box { <1540.000, 400.000, 4600.000>, <2220.000, 620.000, 4800.000> texture { pigment { rgb <0.22, 0.24, 0.27> } finish { ambient 0.14 diffuse 0.8 } } }
box { <1550.000, 400.000, 2910.000>, <2210.000, 520.000, 3460.000> texture { pigment { rgb <0.26, 0.28, 0.31> } finish { ambient 0.14 diffuse 0.8 } } }
box { <1550.000, 400.000, 3470.000>, <2210.000, 520.000, 4020.000> texture { pigment { rgb <0.26, 0.28, 0.31> } finish { ambient 0.14 diffuse 0.8 } } }
box { <1550.000, 400.000, 4030.000>, <2210.000, 520.000, 4580.000> texture { pigment { rgb <0.26, 0.28, 0.31> } finish { ambient 0.14 diffuse 0.8 } } }
box { <-2050.000, 730.000, 2040.000>, <-1150.000, 770.000, 3540.000> texture { pigment { rgb <0.30, 0.18, 0.09> } finish { ambient 0.14 diffuse 0.75 } } }
box { <-2010.000, 0.000, 2080.000>, <-1950.000, 730.000, 2140.000> texture { pigment { rgb <0.30, 0.18, 0.09> } finish { ambient 0.14 diffuse 0.75 } } }
box { <-2010.000, 0.000, 3440.000>, <-1950.000, 730.000, 3500.000> texture { pigment { rgb <0.30, 0.18, 0.09> } finish { ambient 0.14 diffuse 0.75 } } }
box { <-1250.000, 0.000, 2080.000>, <-1190.000, 730.000, 2140.000> texture { pigment { rgb <0.30, 0.18, 0.09> } finish { ambient 0.14 diffuse 0.75 } } }
box { <-1250.000, 0.000, 3440.000>, <-1190.000, 730.000, 3500.000> texture { pigment { rgb <0.30, 0.18, 0.09> } finish { ambient 0.14 diffuse 0.75 } } }
