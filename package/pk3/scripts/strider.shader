// ZV-001 Strider: the visor glints with the room's light, the pack's vents glow.

models/players/strider/strider_visor
{
	{
		map models/players/strider/strider_visor.tga
		rgbGen lightingDiffuse
	}
	{
		map models/players/strider/strider_glint.tga
		tcGen environment
		blendFunc GL_ONE GL_ONE
		rgbGen lightingDiffuse
	}
}

models/players/strider/strider_pack
{
	{
		map models/players/strider/strider_pack.tga
		rgbGen lightingDiffuse
	}
	{
		map models/players/strider/strider_vents.tga
		blendFunc GL_ONE GL_ONE
		rgbGen wave sin 0.6 0.4 0 0.5
	}
}
